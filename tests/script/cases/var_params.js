var x, y, s;
function Swap(&a, &b) {
  var t = a;
  a = b;
  b = t;
}
function Twice(&s) {
  s = s + s;
}
function ByValue(a) {
  a = a + 100;
}
x = 1;
y = 2;
Swap(x, y);
ShowMessage(x);
ShowMessage(y);
s = "ab";
Twice(s);
ShowMessage(s);
ByValue(x);
ShowMessage(x);
