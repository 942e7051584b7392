// By design: a routine's local keeps its value from one call to the next (Free Pascal leaves it undefined).
procedure Count;
var
  c: Integer;
begin
  c := c + 1;
  ShowMessage(c);
end;

begin
  Count;
  Count;
  Count;
end.
