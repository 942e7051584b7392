Dim i, n
For i = 1 To 10 Step 3
  ShowMessage(i)
Next
For i = 5 To 1 Step -2
  ShowMessage(i)
Next
n = 0
For i = 1 To 10 Step 0
  n = n + 1
  ShowMessage(i)
  If n = 3 Then break
Next
For i = 0.5 To 2 Step 0.5
  ShowMessage(i)
Next
