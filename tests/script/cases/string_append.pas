// By design: s := s + x reads s before x, whatever x does to s (Free Pascal leaves the order open).
var
  s: String;
  i: Integer;

function Grow: String;
begin
  s := s + '!';
  Result := 'x';
end;

begin
  s := '';
  for i := 1 to 5 do
    s := s + IntToStr(i);
  ShowMessage(s);
  s := 'a';
  s := s + Grow;
  ShowMessage(s);
  s := 'b';
  s := s + s;
  ShowMessage(s);
end.
