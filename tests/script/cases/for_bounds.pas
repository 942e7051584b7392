var
  i, n: Integer;
begin
  i := 7;
  for i := 1 to 0 do
    ShowMessage('never');
  ShowMessage(i);
  for i := 3 downto 1 do
    ShowMessage(i);
  ShowMessage(i);
  n := 0;
  for i := -2147483648 to 2147483647 do
  begin
    n := n + 1;
    if n = 3 then
      break;
  end;
  ShowMessage(i);
  for i := 2147483646 to 2147483647 do
    ShowMessage(i);
end.
