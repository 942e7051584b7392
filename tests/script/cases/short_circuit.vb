Dim o
Function Probe(b)
  ShowMessage("probe")
  Return b
End Function
o = 0
If (o <> 0) And (10 \ o > 1) Then
  ShowMessage("no")
Else
  ShowMessage("guarded")
End If
If True Or Probe(True) Then ShowMessage("or skipped probe")
If False And Probe(True) Then
  ShowMessage("x")
Else
  ShowMessage("and skipped probe")
End If
If True And Probe(False) Then
  ShowMessage("x")
Else
  ShowMessage("and ran probe")
End If
