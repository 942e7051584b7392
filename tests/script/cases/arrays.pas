// By design: an element outside the bounds raises EVariantBadIndexError; "array[5]" declares 0..4.
var
  a: array[0..1, 0..2, 0..1, 1..2] of Integer;
  b: array[1..3] of String;
  c: array[5] of Integer;
  i: Integer;
begin
  a[1, 2, 1, 2] := 42;
  ShowMessage(a[1, 2, 1, 2]);
  ShowMessage(a[0, 0, 0, 1]);
  for i := 1 to 3 do
    b[i] := 'b' + b[i];
  b[2] := b[2] + b[3];
  ShowMessage(b[2]);
  for i := 0 to 4 do
    c[i] := i * i;
  ShowMessage(c[4]);
  try
    c[5] := 1;
  except
    ShowMessage(ExceptionClassName + ':' + ExceptionMessage);
  end;
end.
