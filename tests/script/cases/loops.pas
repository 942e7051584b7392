var
  i, s: Integer;
begin
  s := 0;
  for i := 1 to 10 do
  begin
    if i = 3 then
      continue;
    if i = 6 then
      break;
    s := s + i;
  end;
  ShowMessage(s);
  ShowMessage('after');
  i := 0;
  repeat
    i := i + 1;
  until True;
  ShowMessage(i);
  i := 0;
  while i < 5 do
  begin
    i := i + 1;
    if i = 2 then
      continue;
    if i = 4 then
      break;
    ShowMessage(i);
  end;
  ShowMessage(i);
  i := 10;
  repeat
    i := i - 3;
  until i < 0;
  ShowMessage(i);
end.
