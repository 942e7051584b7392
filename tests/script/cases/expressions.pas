var
  a, b: Boolean;
  i: Integer;
  v: Variant;
  s: String;
begin
  ShowMessage(2 + 3 * 4);
  ShowMessage((2 + 3) * 4);
  ShowMessage(10 - 4 - 3);
  ShowMessage(7 / 2);
  ShowMessage(7 div 2);
  ShowMessage(-7 mod 3);
  a := False;
  b := True;
  ShowMessage(not a and b);
  ShowMessage(-2 * (-3));
  v := '12';
  i := v;
  ShowMessage(i + 1);
  s := 'b';
  s := 'a' + s;
  s := s + 'c';
  ShowMessage(s);
  ShowMessage(1 shl 4 shr 2);
  ShowMessage((5 > 3) = True);
  ShowMessage(Null = Null);
end.
