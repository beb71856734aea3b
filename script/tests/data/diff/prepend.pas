// Prepending to a Variant, a String and numbers.
var
  v: Variant;
  s: String;
  i: Integer;
  x: Double;
begin
  v := 'c';
  v := 'b' + v;
  v := 'a' + v;
  ShowMessage(v);
  v := '7';
  for i := 1 to 3 do v := ' ' + v;
  ShowMessage('[' + v + ']');
  s := 'z';
  s := 'y' + s;
  ShowMessage(s);
  i := 5;
  i := 2 * i;
  i := 1 + i;
  ShowMessage(i);
  x := 1.5;
  x := 2 * x;
  x := 0.25 + x;
  ShowMessage(Format('%.2f', [x]));
  v := 3;
  v := 4 + v;
  ShowMessage(v);
end.
