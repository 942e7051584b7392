var
  a, b: Integer;
begin
  a := 1;
  b := 5;
  if (a = 1) or (b = 2) then
    ShowMessage('or');
  ShowMessage(1 + 2 * 3);
  ShowMessage((2 * 3 = 6) and (1 < 2));
  ShowMessage(10 - 4 - 3);
  ShowMessage(1 shl (2 + 1));
  ShowMessage(7 mod 4 * 2);
  ShowMessage(not (a = 1));
  ShowMessage((a < b) = True);
end.
