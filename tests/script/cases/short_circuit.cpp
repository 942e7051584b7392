int o;
Variant v;

bool Probe(bool b)
{
  ShowMessage("probe");
  return b;
}

{
  o = 0;
  v = Null;
  if (o != 0 && 10 div o > 1)
    ShowMessage("no");
  else
    ShowMessage("guarded");
  if (true || Probe(true))
    ShowMessage("or skipped probe");
  if (false && Probe(true))
    ShowMessage("x");
  else
    ShowMessage("and skipped probe");
  if (true && Probe(false))
    ShowMessage("x");
  else
    ShowMessage("and ran probe");
  if (v != Null && v.Name == "x")
    ShowMessage("x");
}
