// By design: an Integer gets no value outside 32 bits (ERangeError; Free Pascal wraps it).
var
  i: Integer;
  j: Int64;
begin
  i := 2;
  j := 3000000000;
  ShowMessage(i + j);
  ShowMessage(j * i);
  try
    i := j;
  except
    ShowMessage(ExceptionClassName + ':' + ExceptionMessage);
  end;
  ShowMessage(i);
  i := 2147483647;
  j := i + 1;
  ShowMessage(j);
end.
