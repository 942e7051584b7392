var i = 0;
var v;
var z;
function Divide(a, b) { return a div b; }
try {
  i = 1 div i;
  ShowMessage("not reached");
} except {
  ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
}
try {
  v = "abc";
  i = v * 1;
} except {
  ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
}
try {
  z = 0.0;
  ShowMessage(1.5 / z);
} except {
  ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
}
try {
  try {
    ShowMessage(Divide(1, 0));
  } finally {
    ShowMessage("finally");
  }
} except {
  ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
}
try {
  try {
    i = 1 div 0;
  } except {
    ShowMessage("inner");
    v = "x";
    i = v * 1;
  }
} except {
  ShowMessage("outer " + ExceptionClassName);
}
ShowMessage("done");
