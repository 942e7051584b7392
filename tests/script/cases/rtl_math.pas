var
  x: Double;
begin
  ShowMessage(IntToStr(Round(2.5)) + ' ' + IntToStr(Round(3.5)) + ' ' + IntToStr(Round(-2.5)) + ' ' + IntToStr(Round(-3.5)) + ' ' + IntToStr(Round(0.5)) + ' ' + IntToStr(Round(1.5)));
  x := 3e9;
  ShowMessage(Round(x));
  ShowMessage(Trunc(x));
  ShowMessage(Trunc(-2.7));
  ShowMessage(Trunc(-0.5));
  ShowMessage(Int(-2.7));
  ShowMessage(Frac(-2.5));
  ShowMessage(Frac(2.75));
  ShowMessage(Sqrt(2));
  ShowMessage(Exp(1));
  ShowMessage(Ln(10));
  ShowMessage(Pi);
  ShowMessage(ArcTan(1));
  ShowMessage(Sin(1));
  ShowMessage(Cos(1));
  ShowMessage(Tan(1));
  ShowMessage(Abs(-3.5));
  ShowMessage(Abs(-3));
  x := 1e30;
  try
    ShowMessage(Round(x));
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
end.
