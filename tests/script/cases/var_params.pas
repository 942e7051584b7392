var
  x, y: Integer;
  s: String;

procedure Swap(var a, b: Integer);
var
  t: Integer;
begin
  t := a;
  a := b;
  b := t;
end;

procedure Twice(var s: String);
begin
  s := s + s;
end;

procedure ByValue(a: Integer);
begin
  a := a + 100;
end;

begin
  x := 1;
  y := 2;
  Swap(x, y);
  ShowMessage(x);
  ShowMessage(y);
  s := 'ab';
  Twice(s);
  ShowMessage(s);
  ByValue(x);
  ShowMessage(x);
end.
