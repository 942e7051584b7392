Dim x, y, s
Sub Swap(ByRef a, ByRef b)
  Dim t
  t = a
  a = b
  b = t
End Sub
Sub Twice(ByRef s)
  s = s & s
End Sub
Sub ByValue(a)
  a = a + 100
End Sub
x = 1
y = 2
Swap(x, y)
ShowMessage(x)
ShowMessage(y)
s = "ab"
Twice(s)
ShowMessage(s)
ByValue(x)
ShowMessage(x)
