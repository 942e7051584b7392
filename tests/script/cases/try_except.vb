Dim i, v, z
Function Divide(a, b)
  Return a \ b
End Function

i = 0
Try
  i = 1 \ i
  ShowMessage("not reached")
Catch
  ShowMessage(ExceptionClassName & ":" & ExceptionMessage)
End Try
Try
  v = "abc"
  i = v * 1
Catch
  ShowMessage(ExceptionClassName & ":" & ExceptionMessage)
End Try
Try
  z = 0.0
  ShowMessage(1.5 / z)
Catch
  ShowMessage(ExceptionClassName & ":" & ExceptionMessage)
End Try
Try
  Try
    ShowMessage(Divide(1, 0))
  Finally
    ShowMessage("finally")
  End Try
Catch
  ShowMessage(ExceptionClassName & ":" & ExceptionMessage)
End Try
Try
  Try
    i = 1 \ 0
  Catch
    ShowMessage("inner")
    v = "x"
    i = v * 1
  End Try
Catch
  ShowMessage("outer " & ExceptionClassName)
End Try
ShowMessage("done")
