var a = 1, b = 5;
if (a == 1 || b == 2)
  ShowMessage("or");
ShowMessage(1 + 2 * 3);
ShowMessage(2 * 3 == 6 && 1 < 2);
ShowMessage(10 - 4 - 3);
ShowMessage(1 << 2 + 1);
ShowMessage(7 % 4 * 2);
ShowMessage(!(a == 1));
ShowMessage(a < b == true);
