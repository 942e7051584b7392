int i;
{
  for (i = 1; i <= 4; i++)
    switch (i) {
      case 1: ;
      case 2: { ShowMessage("two"); break; }
      case 3, 4: ShowMessage("three or four");
      default: ShowMessage("else");
    }
  switch (7) {
    case 1..5: ShowMessage("one to five");
    case 6..10: ShowMessage("six to ten");
  }
  switch ("b") {
    case "a": ShowMessage("a");
    case "b", "c": ShowMessage("b or c");
  }
  switch (99) {
    case 1: ShowMessage("one");
    default: ShowMessage("no match");
  }
}
