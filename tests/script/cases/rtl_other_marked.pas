// By design: ValidInt, ValidFloat, ValidDate, RaiseException and CreateOleObject are ours; VarType of a text is 8 (Free Pascal 256).
var
  v: Variant;
begin
  ShowMessage(ValidInt('12'));
  ShowMessage(ValidInt('x'));
  ShowMessage(ValidFloat('1.5'));
  ShowMessage(ValidFloat('1,5'));
  ShowMessage(ValidDate('2024-03-05'));
  ShowMessage(ValidDate('x'));
  ShowMessage(VarType('abc'));
  try
    RaiseException('boom');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    v := CreateOleObject('X.Y');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
end.
