var s = "", t, i;

function Grow() {
  s = s + "!";
  return "x";
}

for (i = 1; i <= 5; i++)
  s = s + IntToStr(i) + ",";
ShowMessage(s);
s = "ab";
s = s + s + s;
ShowMessage(s);
s = "q";
t = s;
s = s + "r" + "s";
ShowMessage(s + " " + t);
s = "a";
s = s + Grow() + Grow();
ShowMessage(s);
s = "k";
s += "l";
s += s;
ShowMessage(s);
s = 1;
s = s + 2 + "3";
ShowMessage(s);
s = "1";
s = s + "2" + 3;
ShowMessage(s);
