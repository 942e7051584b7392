Dim i, s
s = 0
For i = 1 To 10
  If i = 3 Then continue
  If i = 6 Then break
  s = s + i
Next
ShowMessage(s)
ShowMessage("after")
i = 0
Do
  i = i + 1
Loop Until True
ShowMessage(i)
i = 0
While i < 5
  i = i + 1
  If i = 2 Then continue
  If i = 4 Then break
  ShowMessage(i)
Wend
ShowMessage(i)
i = 10
Do
  i = i - 3
Loop While i >= 0
ShowMessage(i)
