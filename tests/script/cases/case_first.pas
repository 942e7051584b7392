// By design: a value in two selectors runs the first one (Free Pascal refuses the duplicate).
begin
  case 2 of
    1, 2: ShowMessage('first');
    2, 3: ShowMessage('second');
  else
    ShowMessage('else');
  end;
end.
