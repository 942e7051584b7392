Dim shared
