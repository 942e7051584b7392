Dim i, n
i = 7
For i = 1 To 0
  ShowMessage("never")
Next
ShowMessage(i)
For i = 3 To 1 Step -1
  ShowMessage(i)
Next
ShowMessage(i)
n = 0
For i = -2147483648 To 2147483647
  n = n + 1
  If n = 3 Then break
Next
ShowMessage(i)
For i = 2147483646 To 2147483647
  ShowMessage(i)
Next
