// By design: an index outside the text raises ERangeError (Free Pascal reads or writes past it).
var
  s, c: String;
begin
  s := 'abc';
  ShowMessage(s[2]);
  s[2] := 'X';
  ShowMessage(s);
  try
    c := s[4];
    ShowMessage('not reached');
  except
    ShowMessage(ExceptionClassName + ':' + ExceptionMessage);
  end;
  try
    s[0] := 'Y';
  except
    ShowMessage(ExceptionClassName + ':' + ExceptionMessage);
  end;
  ShowMessage(s);
end.
