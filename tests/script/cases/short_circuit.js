var o = 0;
var v = Null;
function Probe(b) {
  ShowMessage("probe");
  return b;
}
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
