var
  i: Integer;

procedure Leave;
begin
  try
    ShowMessage('body');
    exit;
    ShowMessage('not reached');
  finally
    ShowMessage('finally');
    ShowMessage('whole');
  end;
  ShowMessage('after try');
end;

begin
  Leave;
  ShowMessage('back');
  for i := 1 to 3 do
    try
      if i = 2 then
        break;
      ShowMessage(i);
    finally
      ShowMessage('f');
      ShowMessage(i);
    end;
  ShowMessage('end');
end.
