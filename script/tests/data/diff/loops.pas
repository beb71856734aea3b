var
  i, j, n: Integer;
  s: String;
begin
  n := 0;
  for i := 1 to 10 do n := n + i;
  ShowMessage(n);
  n := 0;
  for i := 10 downto 1 do n := n * 2 + i;
  ShowMessage(n);
  n := 0;
  for i := 1 to 0 do n := n + 1;
  ShowMessage(n);
  i := 0;
  while i < 100 do
  begin
    i := i + 7;
    if i mod 5 = 0 then continue;
    if i > 50 then break;
  end;
  ShowMessage(i);
  i := 1;
  repeat
    i := i * 3;
  until i > 100;
  ShowMessage(i);
  s := '';
  for i := 1 to 4 do
    for j := 1 to 4 do
    begin
      if j > i then break;
      s := s + IntToStr(j);
    end;
  ShowMessage(s);
  s := '';
  for i := 1 to 10 do
  begin
    if i mod 2 = 0 then continue;
    s := s + IntToStr(i);
  end;
  ShowMessage(s);
end.
