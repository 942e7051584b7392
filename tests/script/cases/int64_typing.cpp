int i;
Variant j;
{
  i = 2;
  j = 3000000000;
  ShowMessage(i + j);
  ShowMessage(j * i);
  try {
    i = j;
  } except {
    ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
  }
  ShowMessage(i);
  i = 2147483647;
  j = i + 1;
  ShowMessage(j);
}
