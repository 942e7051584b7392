// A report script touching most of the language.
import "util.js";

var i, total = 0, rate = 1.5e3;
var names[10];

function addLine(text, &count) {
  Memo1.Lines.Add(text);
  count++;
}

function scaled(value) { return value * rate / 100; }

for (i = 1; i <= 10; i++) {
  if (i % 2 == 0 && !(i in [3, 5..7]) || (i << 1) > 0xFF)
    addLine(IntToStr(i), total);
  else if (i > 255) break;
  else continue;
}
switch (total) {
  case 0: ShowMessage("none");
  case 1, 2: ShowMessage("few");
  default: ShowMessage(Format("%d lines", [total]));
}
do { total -= 1; } while (total > 0);
while (total < 3) total += 1;
try { i = 1 / total; } except { ShowMessage(ExceptionClassName + ": " + ExceptionMessage); }
with (Memo1) { Visible = true; }
Memo1.Text = <Data."Value"> + "\n";
delete Memo1;
