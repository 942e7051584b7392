var i = 7;
var n;
for (i = 1; i <= 0; i++)
  ShowMessage("never");
ShowMessage(i - 1 + 7);
for (i = 3; i >= 1; i--)
  ShowMessage(i);
ShowMessage(i + 1);
n = 0;
for (i = -2147483648; i <= 2147483647; i++) {
  n = n + 1;
  if (n == 3)
    break;
}
ShowMessage(i);
for (i = 2147483646; i <= 2147483647; i++)
  ShowMessage(i);
