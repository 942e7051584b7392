var
  i: Integer;
begin
  for i := 1 to 4 do
    case i of
      1: ;
      2: ShowMessage('two');
      3, 4: ShowMessage('three or four');
    else
      ShowMessage('else');
    end;
  case 7 of
    1..5: ShowMessage('one to five');
    6..10: ShowMessage('six to ten');
  end;
  case 'b' of
    'a': ShowMessage('a');
    'b', 'c': ShowMessage('b or c');
  end;
  case 99 of
    1: ShowMessage('one');
  else
    ShowMessage('no match');
  end;
end.
