var fromUnit: Integer;
begin end.
