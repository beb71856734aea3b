var
  a, b: Integer;
  x: Double;
begin
  a := 17; b := 5;
  ShowMessage(a + b * 2);
  ShowMessage((a + b) * 2);
  ShowMessage(a - b - 3);
  ShowMessage(a div b);
  ShowMessage(a mod b);
  ShowMessage(-a div b);
  ShowMessage(-a mod b);
  ShowMessage(a shl 3);
  ShowMessage(a shr 2);
  ShowMessage(a and 12);
  ShowMessage(a or 12);
  ShowMessage(a xor 12);
  ShowMessage(not 5);
  x := a / b;
  ShowMessage(Format('%.4f', [x]));
  ShowMessage(Format('%.4f', [(7 / 2) * 2]));
  x := 1.5e3 + 0.25;
  ShowMessage(Format('%.2f', [x]));
  ShowMessage($FF + 1);
  ShowMessage(2147483647 + 0);
  if (a > b) and (b > 0) then ShowMessage('and ok');
  if (a < b) or (b = 5) then ShowMessage('or ok');
  if not (a = b) then ShowMessage('not ok');
end.
