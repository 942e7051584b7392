// By design: DaysInMonth takes a year and a month (Free Pascal's takes a date); a month outside 1..12 raises ERangeError; date and time parts that make no date or time are refused in our own words.
var
  t: Double;
begin
  ShowMessage(DaysInMonth(2000, 2));
  ShowMessage(DaysInMonth(1900, 2));
  ShowMessage(DaysInMonth(2024, 2));
  ShowMessage(DaysInMonth(2023, 4));
  ShowMessage(DaysInMonth(2023, 12));
  try
    ShowMessage(DaysInMonth(2023, 13));
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    t := EncodeDate(2023, 2, 29);
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    t := EncodeTime(25, 0, 0, 0);
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
end.
