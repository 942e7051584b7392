Sub Count
  Dim c As Integer
  c = c + 1
  ShowMessage(c)
End Sub

Count
Count
Count
