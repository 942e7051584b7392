var i, s;
s = 0;
for (i = 1; i <= 10; i++) {
  if (i == 3)
    continue;
  if (i == 6)
    break;
  s = s + i;
}
ShowMessage(s);
ShowMessage("after");
i = 0;
do {
  i = i + 1;
} while (false);
ShowMessage(i);
i = 0;
while (i < 5) {
  i = i + 1;
  if (i == 2)
    continue;
  if (i == 4)
    break;
  ShowMessage(i);
}
ShowMessage(i);
i = 10;
do {
  i -= 3;
} while (i >= 0);
ShowMessage(i);
