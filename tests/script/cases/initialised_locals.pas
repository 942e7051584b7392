procedure P;
var
  i: Integer = 5;
begin
  ShowMessage(i);
  i := i + 1;
  ShowMessage(i);
end;

begin
  P;
  P;
end.
