// By design: NameCase, DeleteStr and Length of a number or an array are ours; Uppercase and Lowercase follow Unicode (Free Pascal: ASCII only); Ord('') is 0; Chr outside 0..65535 and sizes past the cap raise.
var
  s: String;
  a: Variant;
begin
  ShowMessage(NameCase('hELLO wORLD'));
  s := 'abcdef';
  DeleteStr(s, 2, 3);
  ShowMessage(s);
  ShowMessage(Length(12345));
  a := VarArrayCreate([0, 2], 12);
  ShowMessage(Length(a));
  ShowMessage(Uppercase('abcж') + Lowercase('ABCЖ'));
  ShowMessage(Ord(''));
  s := 'ab';
  SetLength(s, 4);
  ShowMessage('[' + s + ']');
  try
    ShowMessage(Chr(-1));
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    ShowMessage(Chr(70000));
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    SetLength(s, 2000000000);
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    a := VarArrayCreate([0, 2000000000], 12);
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
end.
