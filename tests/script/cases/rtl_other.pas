var
  i: Integer;
  v: Variant;
  x: Double;
begin
  i := 5;
  Inc(i);
  ShowMessage(i);
  Inc(i, 10);
  Dec(i);
  Dec(i, 3);
  ShowMessage(i);
  ShowMessage(ExtractFilePath('/a/b/c.txt'));
  ShowMessage(ExtractFilePath('a\b\c.txt'));
  ShowMessage(ExtractFilePath('c:x.txt') + '|' + ExtractFilePath('noslash') + '|');
  i := 5;
  x := 5.5;
  ShowMessage(IntToStr(VarType(i)) + ' ' + IntToStr(VarType(x)) + ' ' + IntToStr(VarType(True)) + ' ' + IntToStr(VarType(Null)));
  v := VarArrayCreate([0, 2], 12);
  ShowMessage(VarType(v));
  v[1] := 'x';
  ShowMessage(v[1]);
  Randomize;
  x := Random;
  ShowMessage((x >= 0) and (x < 1));
end.
