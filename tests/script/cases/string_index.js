var s = "abc", c;
ShowMessage(s[2]);
s[2] = "X";
ShowMessage(s);
try {
  c = s[4];
  ShowMessage("not reached");
} except {
  ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
}
try {
  s[0] = "Y";
} except {
  ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
}
ShowMessage(s);
