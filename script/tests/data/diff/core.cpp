int fib(int n)
{
  if (n < 2) return n;
  return fib(n - 1) + fib(n - 2);
}
int gcd(int a, int b)
{
  if (b == 0) return a;
  return gcd(b, a % b);
}
String classify(int n)
{
  switch (n) {
    case 0: return "zero";
    case 1: return "one";
    case 2: return "two";
    default: return "many";
  }
  return "";
}
int sub(int a, int b) { return a - b; }
void twice(int &x) { x = x * 2; }
int i, n, k;
double d;
String s;
{
  ShowMessage(fib(20));
  ShowMessage(gcd(1071, 462));
  ShowMessage(sub(10, sub(5, 1)));
  for (i = 0; i < 4; i++) ShowMessage(classify(i));
  n = 0;
  for (i = 1; i <= 10; i++) n += i * i;
  ShowMessage(n);
  n = 17;
  ShowMessage(n % 5);
  ShowMessage((n + 3) * 2 - 1);
  ShowMessage(n << 2);
  ShowMessage(n >> 1);
  d = n;
  d = d / 4;
  ShowMessage(d);
  k = 5;
  twice(k);
  twice(k);
  ShowMessage(k);
  i = 0;
  while (i < 100) {
    i += 7;
    if (i % 5 == 0) continue;
    if (i > 50) break;
  }
  ShowMessage(i);
  i = 1;
  do { i *= 3; } while (i < 100);
  ShowMessage(i);
  if (n == 17 && i == 243) ShowMessage("both");
  if (n == 1 || i == 243) ShowMessage("either");
  if (!(n == 1)) ShowMessage("not");
  s = "";
  for (i = 0; i < 5; i++) s = s + "ab";
  ShowMessage(s);
  n = 0;
  for (i = 0; i < 10; i++) { n++; n--; n += 2; }
  ShowMessage(n);
}
