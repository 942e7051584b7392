void Count()
{
  int c;
  c = c + 1;
  ShowMessage(c);
}

{
  Count();
  Count();
  Count();
}
