{ A report script touching most of the language. }
uses 'util.pas';

const
  Title = 'Отчёт'#13#10'по дням';
  Limit = $FF;

var
  i, Total: Integer;
  Names: array[0..9] of String;
  Rate: Extended = 1.5e3;

procedure AddLine(const Text: String; var Count: Integer);
begin
  Memo1.Lines.Add(Text);
  Count := Count + 1;
end;

function Scaled(Value: Extended): Extended;
begin
  Result := Value * Rate / 100;
end;

begin
  Total := 0;
  for i := 1 to 10 do
  begin
    if (i mod 2 = 0) and not (i in [3, 5..7]) then
      AddLine(IntToStr(i), Total)
    else if i > Limit then
      Break
    else
      Continue;
  end;
  for i := 10 downto 1 do Names[i - 1] := 'n' + IntToStr(i);
  case Total of
    0: ShowMessage('none');
    1, 2: ShowMessage('few');
  else
    ShowMessage(Format('%d lines', [Total]));
  end;
  repeat Total := Total - 1 until Total <= 0;
  while Total < 3 do Total := Total + 1;
  with Memo1 do Visible := True;
  try
    i := 1 div Total;
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    Memo1.Text := <Data."Value"> + Title;
  finally
    Total := @Scaled <> nil;
  end;
end.
