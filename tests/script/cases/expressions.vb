Dim a, b, i, v, s
ShowMessage(2 + 3 * 4)
ShowMessage((2 + 3) * 4)
ShowMessage(10 - 4 - 3)
ShowMessage(7 / 2)
ShowMessage(7 \ 2)
ShowMessage(-7 Mod 3)
a = False
b = True
ShowMessage(Not a And b)
ShowMessage(-2 * (-3))
v = "12"
i = v * 1
ShowMessage(i + 1)
s = "b"
s = "a" & s
s = s & "c"
ShowMessage(s)
ShowMessage(16 \ 4)
ShowMessage((5 > 3) = True)
ShowMessage(Null = Null)
