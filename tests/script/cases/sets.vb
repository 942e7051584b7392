Dim i
For i = 0 To 6
  If i In [1, 3..5] Then ShowMessage(i)
Next
If "b" In ["a", "b"] Then ShowMessage("b found")
If Not (7 In [1..6]) Then ShowMessage("7 not found")
