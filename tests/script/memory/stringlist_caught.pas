// Creates string lists until the script's memory runs out, and shows the error's class.
var
  l: TStringList;
begin
  try
    while True do
      l := TStringList.Create;
  except
    ShowMessage(ExceptionClassName);
  end;
end.
