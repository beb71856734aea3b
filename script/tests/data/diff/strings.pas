var
  s, t: String;
  i: Integer;
begin
  s := 'Hello, World';
  ShowMessage(Length(s));
  ShowMessage(Copy(s, 8, 5));
  ShowMessage(Copy(s, 0, 3));
  ShowMessage(Copy(s, 10, 100));
  ShowMessage(Pos('World', s));
  ShowMessage(Pos('xyz', s));
  ShowMessage(UpperCase(s));
  ShowMessage(LowerCase(s));
  ShowMessage('[' + Trim('  pad  ') + ']');
  t := s;
  Delete(t, 6, 7);
  ShowMessage(t);
  Insert(' there', t, 6);
  ShowMessage(t);
  ShowMessage(s[1] + s[Length(s)]);
  t := 'abc';
  t[2] := 'X';
  ShowMessage(t);
  ShowMessage(Chr(65) + Chr(97));
  ShowMessage(Ord('A'));
  ShowMessage(IntToStr(-42) + '/' + IntToStr(StrToInt('123') + 1));
  ShowMessage(FloatToStr(2.5));
  ShowMessage(Format('%d|%5d|%-5d|%s|%x', [42, 42, 42, 'str', 255]));
  ShowMessage(Format('%.3f|%8.2f', [3.14159, 2.5]));
  ShowMessage(FormatFloat('#,##0.00', 1234567.891));
  ShowMessage(FormatFloat('0.0', 2.25));
  if CompareText('abc', 'ABD') < 0 then ShowMessage('less');
  if CompareText('abc', 'ABC') = 0 then ShowMessage('same');
  t := '';
  for i := 1 to 5 do t := t + IntToStr(i);
  ShowMessage(t);
  ShowMessage('It''s' + #33);
end.
