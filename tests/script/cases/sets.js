var i;
for (i = 0; i <= 6; i++)
  if (i in [1, 3..5])
    ShowMessage(i);
if ("b" in ["a", "b"])
  ShowMessage("b found");
if (!(7 in [1..6]))
  ShowMessage("7 not found");
