Function Depth(n)
  Dim k
  k = n * 10
  If n > 0 Then Depth(n - 1)
  ShowMessage(k)
  Return k + n
End Function

ShowMessage(Depth(3))
