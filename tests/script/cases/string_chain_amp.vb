Dim s, t, i
s = ""
For i = 1 To 5
  s = s & i & ","
Next
ShowMessage(s)
s = "ab"
s = s & s & s
ShowMessage(s)
s = "q"
t = s
s = s + "r" + "s"
ShowMessage(s & " " & t)
s = 1
s = s & 2 & 3
ShowMessage(s)
s = 1
s = s + 2 & 3
ShowMessage(s)
