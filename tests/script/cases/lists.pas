var
  l: TList;
  a, b: TStringList;
begin
  l := TList.Create;
  a := TStringList.Create;
  b := TStringList.Create;
  ShowMessage(l.Add(a));
  ShowMessage(l.Add(b));
  ShowMessage(l.Count);
  ShowMessage(l.IndexOf(b));
  l.Insert(0, b);
  ShowMessage(l.IndexOf(b));
  ShowMessage(l.Remove(b));
  ShowMessage(l.Count);
  ShowMessage(l.IndexOf(a));
  try
    l.Delete(7);
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  TStringList(l[1]).Add('through the list');
  ShowMessage(b.Count);
  ShowMessage(b.ClassName);
  l.Clear;
  ShowMessage(l.Count);
  l.Free;
  a.Free;
  b.Free;
end.
