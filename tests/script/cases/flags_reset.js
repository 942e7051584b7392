function P() {
  ShowMessage("a");
  break;
  ShowMessage("b");
}
P();
P();
ShowMessage("c");
