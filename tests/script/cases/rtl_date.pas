var
  y, m, d, h, n, s, ms: Word;
  t: Double;
begin
  t := EncodeDate(2024, 3, 5);
  ShowMessage(t);
  DecodeDate(t + 0.75, y, m, d);
  ShowMessage(IntToStr(y) + '/' + IntToStr(m) + '/' + IntToStr(d));
  DecodeTime(EncodeTime(14, 7, 9, 45), h, n, s, ms);
  ShowMessage(IntToStr(h) + ':' + IntToStr(n) + ':' + IntToStr(s) + '.' + IntToStr(ms));
  ShowMessage(TimeToStr(EncodeTime(23, 59, 59, 0)));
  ShowMessage(DayOfWeek(t));
  ShowMessage(DayOfWeek(EncodeDate(1899, 12, 30)));
  ShowMessage(DayOfWeek(0));
  ShowMessage(IsLeapYear(2000));
  ShowMessage(IsLeapYear(1900));
  ShowMessage(IsLeapYear(2024));
  ShowMessage(Frac(Date) = 0);
  ShowMessage(Now >= Date);
  ShowMessage((Time >= 0) and (Time < 1));
end.
