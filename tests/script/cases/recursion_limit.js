var n = 0;
function Down() {
  n = n + 1;
  Down();
}
try {
  Down();
} except {
  ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
}
ShowMessage(n > 100);
n = 0;
try {
  Down();
} except {
  ShowMessage("again " + ExceptionClassName);
}
