Function Fib(n)
  If n < 2 Then
    Return n
  End If
  Return Fib(n - 1) + Fib(n - 2)
End Function

ShowMessage(Fib(10))
