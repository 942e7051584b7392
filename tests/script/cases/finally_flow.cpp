int i;

void Leave()
{
  try {
    ShowMessage("body");
    return;
    ShowMessage("not reached");
  } finally {
    ShowMessage("finally");
    ShowMessage("whole");
  }
  ShowMessage("after try");
}

{
  Leave();
  ShowMessage("back");
  for (i = 1; i <= 3; i++)
    try {
      if (i == 2)
        break;
      ShowMessage(i);
    } finally {
      ShowMessage("f");
      ShowMessage(i);
    }
  ShowMessage("end");
}
