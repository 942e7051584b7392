Dim i
Sub Leave
  Try
    ShowMessage("body")
    Return
    ShowMessage("not reached")
  Finally
    ShowMessage("finally")
    ShowMessage("whole")
  End Try
  ShowMessage("after try")
End Sub

Leave
ShowMessage("back")
For i = 1 To 3
  Try
    If i = 2 Then break
    ShowMessage(i)
  Finally
    ShowMessage("f")
    ShowMessage(i)
  End Try
Next
ShowMessage("end")
