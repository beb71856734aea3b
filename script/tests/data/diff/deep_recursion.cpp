int grid[2000];
int filled, deepest;
void fill(int r, int c, int d)
{
  if ((r < 0) || (r > 39) || (c < 0) || (c > 49)) return;
  if (grid[r * 50 + c] != 0) return;
  grid[r * 50 + c] = 1;
  filled++;
  if (d > deepest) deepest = d;
  fill(r, c + 1, d + 1);
  fill(r + 1, c, d + 1);
  fill(r, c - 1, d + 1);
  fill(r - 1, c, d + 1);
}
int sum(int n)
{
  if (n == 0) return 0;
  return n + sum(n - 1);
}
int r, c;
{
  for (r = 0; r < 40; r++)
    for (c = 0; c < 50; c++)
      if ((r % 7 == 3) && (c % 9 != 4)) grid[r * 50 + c] = 2; else grid[r * 50 + c] = 0;
  filled = 0;
  deepest = 0;
  fill(0, 0, 1);
  ShowMessage(filled);
  ShowMessage(deepest);
  ShowMessage(sum(1200));
  ShowMessage(sum(3000));
}
