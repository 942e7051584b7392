Dim s
s = "1"
s = s & 2
ShowMessage(s)
s = s & 3 & "x"
ShowMessage(s)
ShowMessage("a" & 1.5)
ShowMessage(1.5 & "a")
