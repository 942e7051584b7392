var
  sl: TStringList;
  i: Integer;
  found: Boolean;
begin
  sl := TStringList.Create;
  sl.CommaText := 'a,"b c",d';
  ShowMessage(sl.Count);
  ShowMessage('[' + sl[1] + ']');
  ShowMessage(sl.CommaText);
  sl.Clear;
  sl.Add('');
  ShowMessage(sl.CommaText);
  sl.CommaText := ' a , b ,,"c""d" e';
  ShowMessage(sl.Count);
  for i := 0 to sl.Count - 1 do
    ShowMessage('[' + sl[i] + ']');
  ShowMessage(sl.CommaText);

  sl.Clear;
  sl.Add('x=1');
  sl.Add('Y=2');
  sl.Add('plain');
  ShowMessage(sl.Values['x'] + '|' + sl.Values['y'] + '|' + sl.Values['plain'] + '|');
  ShowMessage(sl.IndexOfName('y'));
  ShowMessage('[' + sl.Names[0] + '][' + sl.Names[2] + ']');
  sl.Values['z'] := '3';
  sl.Values['x'] := '10';
  ShowMessage(sl.CommaText);

  sl.Clear;
  sl.Sorted := True;
  sl.Duplicates := dupError;
  sl.Add('pear');
  sl.Add('apple');
  sl.Add('fig');
  ShowMessage(sl.CommaText);
  try
    sl.Add('fig');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  found := sl.Find('banana', i);
  ShowMessage(found);
  ShowMessage(i);
  found := sl.Find('pear', i);
  ShowMessage(found);
  ShowMessage(i);
  ShowMessage(sl.IndexOf('FIG'));
  sl.Duplicates := dupIgnore;
  ShowMessage(sl.Add('apple'));
  ShowMessage(sl.Count);
  try
    ShowMessage(sl[5]);
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    sl.Insert(0, 'kiwi');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;

  sl.Sorted := False;
  sl.Insert(0, 'kiwi');
  sl.Move(0, 3);
  ShowMessage(sl.CommaText);
  sl.Delete(1);
  ShowMessage(sl.CommaText);
  sl.Text := 'one' + #13#10 + 'two' + #10 + #10 + 'four';
  ShowMessage(sl.Count);
  ShowMessage('[' + sl[2] + ']');
  sl.Free;
end.
