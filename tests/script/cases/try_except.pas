var
  i: Integer;
  v: Variant;
  z: Double;

function Divide(a, b: Integer): Integer;
begin
  Result := a div b;
end;

begin
  i := 0;
  try
    i := 1 div i;
    ShowMessage('not reached');
  except
    ShowMessage(ExceptionClassName + ':' + ExceptionMessage);
  end;
  try
    v := 'abc';
    i := v;
  except
    ShowMessage(ExceptionClassName + ':' + ExceptionMessage);
  end;
  try
    z := 0;
    ShowMessage(1.5 / z);
  except
    ShowMessage(ExceptionClassName + ':' + ExceptionMessage);
  end;
  try
    try
      ShowMessage(Divide(1, 0));
    finally
      ShowMessage('finally');
    end;
  except
    ShowMessage(ExceptionClassName + ':' + ExceptionMessage);
  end;
  try
    try
      i := 1 div i;
    except
      ShowMessage('inner');
      v := 'x';
      i := v;
    end;
  except
    ShowMessage('outer ' + ExceptionClassName);
  end;
  ShowMessage('done');
end.
