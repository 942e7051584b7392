function Count() {
  var c;
  if (c == Null)
    c = 0;
  c = c + 1;
  ShowMessage(c);
}
Count();
Count();
Count();
