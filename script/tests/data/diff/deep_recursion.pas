// Recursion some thousands of calls deep: a flood fill of a 40 x 50 grid and
// recursive sums.
var
  grid: array[0..39, 0..49] of Integer;
  filled, deepest, r, c: Integer;

procedure Fill(r, c, d: Integer);
begin
  if (r < 0) or (r > 39) or (c < 0) or (c > 49) then exit;
  if grid[r, c] <> 0 then exit;
  grid[r, c] := 1;
  filled := filled + 1;
  if d > deepest then deepest := d;
  Fill(r, c + 1, d + 1);
  Fill(r + 1, c, d + 1);
  Fill(r, c - 1, d + 1);
  Fill(r - 1, c, d + 1);
end;

function Sum(n: Integer): Integer;
begin
  if n = 0 then Result := 0 else Result := n + Sum(n - 1);
end;

begin
  for r := 0 to 39 do
    for c := 0 to 49 do
      if (r mod 7 = 3) and (c mod 9 <> 4) then grid[r, c] := 2 else grid[r, c] := 0;
  filled := 0;
  deepest := 0;
  Fill(0, 0, 1);
  ShowMessage(filled);
  ShowMessage(deepest);
  ShowMessage(Sum(1200));
  ShowMessage(Sum(3000));
end.
