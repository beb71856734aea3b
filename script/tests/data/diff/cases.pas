function Classify(n: Integer): String;
begin
  case n of
    0: Result := 'zero';
    1, 3, 5, 7, 9: Result := 'odd digit';
    2, 4, 6, 8: Result := 'even digit';
    10..99: Result := 'two digits';
  else
    Result := 'other';
  end;
end;

var i: Integer;
begin
  for i := -1 to 11 do ShowMessage(IntToStr(i) + ' ' + Classify(i));
  ShowMessage(Classify(100));
  case 'b' of
    'a': ShowMessage('is a');
    'b': ShowMessage('is b');
  end;
end.
