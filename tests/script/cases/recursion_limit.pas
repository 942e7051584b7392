// By design: a named call-depth limit ends runaway recursion with EStackOverflow.
var
  n: Integer;

procedure Down;
begin
  n := n + 1;
  Down;
end;

begin
  n := 0;
  try
    Down;
  except
    ShowMessage(ExceptionClassName + ':' + ExceptionMessage);
  end;
  ShowMessage(n > 100);
  n := 0;
  try
    Down;
  except
    ShowMessage('again ' + ExceptionClassName);
  end;
end.
