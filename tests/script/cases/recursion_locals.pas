function Depth(n: Integer): Integer;
var
  k: Integer;
begin
  k := n * 10;
  if n > 0 then
    Depth(n - 1);
  ShowMessage(k);
  Result := k + n;
end;

begin
  ShowMessage(Depth(3));
end.
