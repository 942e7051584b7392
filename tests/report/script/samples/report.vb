' A report script touching most of the language.
Imports "util.vb"

Dim i, total As Integer
Dim rate As Decimal = 1.5e3
Dim names[10]

Sub AddLine(ByVal text, ByRef count)
  Memo1.Lines.Add(text)
  count = count + 1
End Sub

Function Scaled(value) As Decimal
  Return value * rate / 100
End Function

rem Loops and branches
For i = 1 To 10 Step 1
  If i Mod 2 = 0 And Not (i In [3, 5..7]) Then
    AddLine(IntToStr(i), total)
  ElseIf i > 0xFF Then
    Exit
  Else
    total = total _
      + 1
  End If
Next
Select Case total
  Case 0: ShowMessage("none")
  Case 1, 2: ShowMessage("few" & " lines")
  Case Else: ShowMessage(Format("%d lines", [total]))
End Select
Do
  total = total - 1
Loop Until total <= 0
While total < 3
  total = total + 1
Wend
Try
  i = 1 \ total
Catch
  ShowMessage(ExceptionClassName & ": " & ExceptionMessage)
End Try
With Memo1
  Visible = True
End With
Memo1.Text = <Data."Value"> : Set o = New TObject
