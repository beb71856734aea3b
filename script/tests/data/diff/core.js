function fib(n) {
  if (n < 2) return n;
  return fib(n - 1) + fib(n - 2);
}
function gcd(a, b) {
  if (b == 0) return a;
  return gcd(b, a % b);
}
function classify(n) {
  switch (n) {
    case 0: return "zero";
    case 1: return "one";
    case 2: return "two";
    default: return "big";
  }
}
function sub(a, b) { return a - b; }
var i, n, s;
ShowMessage(fib(20));
ShowMessage(gcd(1071, 462));
ShowMessage(sub(10, sub(5, 1)));
for (i = 0; i < 7; i++) ShowMessage(classify(i));
n = 0;
for (i = 1; i <= 10; i++) n = n + i * i;
ShowMessage(n);
n = 17;
ShowMessage(n % 5);
ShowMessage(n / 4);
ShowMessage((n + 3) * 2 - 1);
ShowMessage(n << 2);
ShowMessage(n >> 1);
i = 0;
while (i < 100) {
  i = i + 7;
  if (i % 5 == 0) continue;
  if (i > 50) break;
}
ShowMessage(i);
i = 1;
do { i = i * 3; } while (i < 100);
ShowMessage(i);
if (n == 17 && i == 243) ShowMessage("both");
if (n == 1 || i == 243) ShowMessage("either");
if (!(n == 1)) ShowMessage("not");
s = "";
for (i = 0; i < 5; i++) s = s + "ab";
ShowMessage(s);
s = "x" + "y" + "z";
ShowMessage(s);
ShowMessage("line\nbreak");
n = 0;
for (i = 0; i < 4; i++) {
  var j;
  for (j = 0; j < 4; j++) {
    if (j > i) break;
    n = n + 1;
  }
}
ShowMessage(n);
