var
  i: Integer;
begin
  for i := 0 to 6 do
    if i in [1, 3..5] then
      ShowMessage(i);
  if 'b' in ['a', 'b'] then
    ShowMessage('b found');
  if not (7 in [1..6]) then
    ShowMessage('7 not found');
end.
