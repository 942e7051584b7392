var
  t: Double;
begin
  ShowMessage(Format('%d %s', [5, 'x']));
  ShowMessage(Format('[%5.2f] [%-6d] [%.3d] [%x]', [3.14159, 42, 7, 255]));
  ShowMessage(Format('[%s,%s] [%1:s%0:s]', ['a', 'b']));
  ShowMessage(Format('%n|%.3e|%g|%8.3f|%u', [1234567.891, 12345.678, 0.5, -2.5, 3]));
  ShowMessage(Format('%.0f %.0f %.2f', [2.5, 3.5, 1.005]));
  ShowMessage(Format('%*d|%-*s|', [5, 42, 4, 'ab']));
  ShowMessage(Format('%d%%', [100]));
  ShowMessage(FormatFloat('#,##0.00', 1234.5));
  ShowMessage(FormatFloat('0.000', 2 / 3));
  ShowMessage(FormatFloat('000', 7));
  ShowMessage(FormatFloat('0.00E+00', 123456));
  ShowMessage(FormatFloat('0.00;(0.00);zero', -5) + ' ' + FormatFloat('0.00;(0.00);zero', 0));
  ShowMessage(FormatFloat('#', 0) + '|' + FormatFloat('0', 2.5) + '|' + FormatFloat('0', -2.5));
  t := EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
  ShowMessage(FormatDateTime('yyyy-mm-dd hh:nn:ss', t));
  ShowMessage(FormatDateTime('d/m/yy h:nn am/pm', t));
  ShowMessage(FormatDateTime('dddd d mmmm yyyy', t));
  ShowMessage(FormatDateTime('ddd dd mmm', EncodeDate(2024, 12, 25)));
  ShowMessage(FormatDateTime('c', t));
  ShowMessage(FormatDateTime('hh:mm "h" zzz', t));
end.
