// By design: s := s + a + b reads s before a and b, whatever they do to s (Free Pascal leaves the order open).
var
  s, t: String;
  v: Variant;
  a: array[0..2] of String;
  l: TStringList;
  i: Integer;

function Grow: String;
begin
  s := s + '!';
  Result := 'x';
end;

function Reset: String;
begin
  s := 'zz';
  Result := 'y';
end;

procedure Extend(var p: String);
begin
  p := p + '<' + p + '>';
end;

function Twice(x: String): String;
begin
  Result := '';
  Result := Result + x + x;
end;

begin
  s := '';
  for i := 1 to 5 do
    s := s + IntToStr(i) + ',';
  ShowMessage(s);
  s := 'ab';
  s := s + s + s;
  ShowMessage(s);
  s := 'q';
  t := s;
  s := s + 'r' + 's';
  ShowMessage(s + ' ' + t);
  s := 'a';
  s := s + Grow + Grow;
  ShowMessage(s);
  s := 'a';
  s := s + Reset + s;
  ShowMessage(s);
  s := 'k';
  Extend(s);
  ShowMessage(s);
  ShowMessage(Twice('w'));
  a[1] := 'e';
  for i := 1 to 3 do
    a[1] := a[1] + IntToStr(i) + '.';
  ShowMessage(a[1]);
  l := TStringList.Create;
  l.CommaText := 'p';
  l.CommaText := l.CommaText + ',q' + 'r';
  ShowMessage(l.CommaText);
  l.Free;
  v := 'n';
  v := v + 'o' + 'p';
  ShowMessage(v);
  v := '1';
  v := v + '2' + 3;
  ShowMessage(v);
  v := 4;
  v := v + 5 + '6';
  ShowMessage(v);
  v := 'z';
  try
    v := v + 'a' + 1;
  except
    ShowMessage(ExceptionClassName + ' ' + v);
  end;
end.
