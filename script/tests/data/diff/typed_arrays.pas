// Elements of typed arrays hold values of the element type.
var
  fees: array[1..3] of Double;
  grid: array[0..1, 0..2] of Double;
  total: Double;
  i: Integer;
begin
  fees[1] := 1500.5;
  fees[2] := 2980;
  fees[3] := 120;
  total := 0;
  for i := 1 to 3 do total := total + fees[i];
  ShowMessage(Format('%10.2f', [fees[2]]));
  ShowMessage(Format('%.1f|%.1f', [fees[3], total]));
  grid[1, 2] := 7;
  grid[0, 0] := grid[1, 2] * 3;
  ShowMessage(Format('%.2f %.2f', [grid[1, 2], grid[0, 0]]));
  i := 4;
  fees[2] := i;
  ShowMessage(Format('%.3f', [fees[2]]));
end.
