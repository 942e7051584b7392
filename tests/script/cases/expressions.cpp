bool a, b;
int i;
Variant v;
string s;
{
  ShowMessage(2 + 3 * 4);
  ShowMessage((2 + 3) * 4);
  ShowMessage(10 - 4 - 3);
  ShowMessage(7 / 2);
  ShowMessage(7 div 2);
  ShowMessage(-7 % 3);
  a = false;
  b = true;
  ShowMessage(!a && b);
  ShowMessage(-2 * (-3));
  v = "12";
  i = v;
  ShowMessage(i + 1);
  s = "b";
  s = "a" + s;
  s += "c";
  ShowMessage(s);
  ShowMessage(1 << 4 >> 2);
  ShowMessage((5 > 3) == true);
  ShowMessage(Null == Null);
}
