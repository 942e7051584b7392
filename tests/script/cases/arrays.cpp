int a[2, 3, 2, 3];
string b[4];
int c[5];
int i;
{
  a[1, 2, 1, 2] = 42;
  ShowMessage(a[1, 2, 1, 2]);
  ShowMessage(a[0, 0, 0, 1]);
  for (i = 1; i <= 3; i++)
    b[i] = "b" + b[i];
  b[2] = b[2] + b[3];
  ShowMessage(b[2]);
  for (i = 0; i <= 4; i++)
    c[i] = i * i;
  ShowMessage(c[4]);
  try {
    c[5] = 1;
  } except {
    ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
  }
}
