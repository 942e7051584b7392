// A report script touching most of the language.
#include "util.cpp"
#define LIMIT 0xFF

int i, total = 0;
float rate = 1.5e3;
string names[10];

void addLine(string text, int &count)
{
  Memo1.Lines.Add(text);
  count++;
}

float scaled(float value) { return value * rate / 100; }

{
  for (i = 1; i <= 10; i++) {
    if (i % 2 == 0 && !(i in [3, 5..7]) || i << 1 > LIMIT ^ false)
      addLine(IntToStr(i), total);
    else if (i > LIMIT) break;
    else continue;
  }
  switch (total) {
    case 0: ShowMessage("none");
    case 1, 2: ShowMessage("few\n");
    default: ShowMessage(Format("%d lines", [total]));
  }
  do { total -= 1; } while (total > 0);
  while (total < 3) total += 1;
  try { i = 1 / total; } except { ShowMessage(ExceptionClassName + ": " + ExceptionMessage); }
  try { Memo1.Text = <Data."Value"> + "\x41"; } finally { delete Memo1; }
  TObject o = new TObject();
  return;
}
