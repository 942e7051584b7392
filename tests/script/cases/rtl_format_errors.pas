// By design: Format's mismatch raises "Format '...' invalid or incompatible with argument" (Free Pascal: "Invalid argument index in format ..."); texts are not cut at 255 characters.
var
  s: String;
  i: Integer;
begin
  try
    s := Format('%d', ['x']);
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    s := Format('%s %s', ['a']);
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    s := Format('%z', [1]);
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  s := '';
  for i := 1 to 300 do
    s := s + 'x';
  ShowMessage(Length(Format('%s', [s])));
end.
