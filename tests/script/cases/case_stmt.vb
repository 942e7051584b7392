Dim i
For i = 1 To 4
  Select Case i
    Case 1:
    Case 2:
      ShowMessage("two")
    Case 3, 4:
      ShowMessage("three or four")
    Case Else:
      ShowMessage("else")
  End Select
Next
Select Case 7
  Case 1..5: ShowMessage("one to five")
  Case 6..10: ShowMessage("six to ten")
End Select
Select Case "b"
  Case "a": ShowMessage("a")
  Case "b", "c": ShowMessage("b or c")
End Select
Select Case 99
  Case 1: ShowMessage("one")
  Case Else: ShowMessage("no match")
End Select
