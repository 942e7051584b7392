int x, y;
string s;

void Swap(int &a, int &b)
{
  int t = a;
  a = b;
  b = t;
}

void Twice(string &s)
{
  s = s + s;
}

void ByValue(int a)
{
  a = a + 100;
}

{
  x = 1;
  y = 2;
  Swap(x, y);
  ShowMessage(x);
  ShowMessage(y);
  s = "ab";
  Twice(s);
  ShowMessage(s);
  ByValue(x);
  ShowMessage(x);
}
