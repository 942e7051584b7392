var
  o: Integer;

function Probe(b: Boolean): Boolean;
begin
  ShowMessage('probe');
  Result := b;
end;

begin
  o := 0;
  if (o <> 0) and (10 div o > 1) then
    ShowMessage('no')
  else
    ShowMessage('guarded');
  if True or Probe(True) then
    ShowMessage('or skipped probe');
  if False and Probe(True) then
    ShowMessage('x')
  else
    ShowMessage('and skipped probe');
  if True and Probe(False) then
    ShowMessage('x')
  else
    ShowMessage('and ran probe');
end.
