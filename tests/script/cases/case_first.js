switch (2) {
  case 1, 2: ShowMessage("first");
  case 2, 3: ShowMessage("second");
  default: ShowMessage("else");
}
