var
  i: Integer;
  e: Double;
  b: Boolean;
begin
  ShowMessage(IntToStr(42) + IntToStr(-7));
  ShowMessage(IntToStr(StrToInt64('9223372036854775807')));
  ShowMessage(FloatToStr(1 / 3));
  ShowMessage(FloatToStr(123456789012345678.0));
  ShowMessage(FloatToStr(1e-7));
  ShowMessage(FloatToStr(0.1 + 0.2));
  ShowMessage(FloatToStr(1e15));
  ShowMessage(FloatToStr(100000000000000.0));
  ShowMessage(FloatToStr(-2.5));
  ShowMessage(BoolToStr(True) + ' ' + BoolToStr(False));
  ShowMessage(StrToBool('True'));
  ShowMessage(StrToBool('false'));
  ShowMessage(StrToBool('0'));
  ShowMessage(VarToStr(Null) + '|' + VarToStr(1.5) + '|' + VarToStr('x'));
  ShowMessage(StrToInt(' 12') + 1);
  ShowMessage(StrToInt('$1F'));
  ShowMessage(FloatToStr(StrToFloat('1.5E+2')));
  ShowMessage(DateToStr(EncodeDate(2024, 3, 5)));
  ShowMessage(TimeToStr(EncodeTime(6, 5, 4, 3)));
  ShowMessage(DateTimeToStr(EncodeDate(2024, 3, 5) + 0.5));
  ShowMessage(DateTimeToStr(EncodeDate(2024, 3, 5)));
  ShowMessage(FloatToStr(StrToDate('2024-03-05')));
  ShowMessage(FloatToStr(StrToTime('12:30')));
  ShowMessage(FloatToStr(StrToDateTime('2024-03-05 06:00:00')));
  try
    i := StrToInt('abc');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    i := StrToInt('1.5');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    e := StrToFloat('1,5');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    e := StrToFloat('');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    e := StrToDate('abc');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    e := StrToTime('abc');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    b := StrToBool('yes');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    i := StrToInt64('abc');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
end.
