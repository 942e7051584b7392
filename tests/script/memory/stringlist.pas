// Creates string lists until the script's memory runs out; nothing catches the error.
var
  l: TStringList;
begin
  while True do
    l := TStringList.Create;
end.
