if (true) {
  function Inner(x) {
    return x * 2;
  }
}
ShowMessage(Inner(21));
ShowMessage(Later(1));
{
  function Later(y) { return y + 1; }
}
