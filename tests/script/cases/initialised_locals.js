function P() {
  var i = 5;
  ShowMessage(i);
  i = i + 1;
  ShowMessage(i);
}
P();
P();
