int i;
Variant v;
float z;

int Divide(int a, int b) { return a div b; }

{
  i = 0;
  try {
    i = 1 div i;
    ShowMessage("not reached");
  } except {
    ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
  }
  try {
    v = "abc";
    i = v;
  } except {
    ShowMessage(ExceptionClassName + ":" + ExceptionMessage);
  }
  try {
    z = 0;
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
      i = 1 div i;
    } except {
      ShowMessage("inner");
      v = "x";
      i = v;
    }
  } except {
    ShowMessage("outer " + ExceptionClassName);
  }
  ShowMessage("done");
}
