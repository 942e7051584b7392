int Depth(int n)
{
  int k = n * 10;
  if (n > 0)
    Depth(n - 1);
  ShowMessage(k);
  return k + n;
}

{
  ShowMessage(Depth(3));
}
