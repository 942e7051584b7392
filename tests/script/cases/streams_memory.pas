// By design: Read and Write move the characters of a string argument here; Free Pascal's take an untyped buffer.
var
  m: TMemoryStream;
  s, back: string;
  i, n, same: Integer;
begin
  m := TMemoryStream.Create;
  s := '';
  for i := 0 to 255 do
    s := s + Chr(i);
  ShowMessage(m.Write(s, 256));
  ShowMessage(m.Size);
  ShowMessage(m.Position);
  m.Position := 0;
  n := m.Read(back, 300);
  ShowMessage(n);
  same := 0;
  for i := 1 to n do
    if Ord(back[i]) = i - 1 then
      same := same + 1;
  ShowMessage(same);
  ShowMessage(m.Seek(-6, soFromEnd));
  n := m.Read(back, 4);
  ShowMessage(Ord(back[1]));
  ShowMessage(Ord(back[4]));
  ShowMessage(m.Seek(2, soFromCurrent));
  m.Free;
end.
