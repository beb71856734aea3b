// Recursion some thousands of calls deep.
function sum(n) {
  if (n == 0) return 0;
  return n + sum(n - 1);
}
function depth(n) {
  if (n == 0) return 0;
  return 1 + depth(n - 1);
}
function even(n) {
  if (n == 0) return true;
  return odd(n - 1);
}
function odd(n) {
  if (n == 0) return false;
  return even(n - 1);
}
function repeat(n) {
  if (n == 0) return "";
  return repeat(n - 1) + "a";
}
ShowMessage(sum(1200));
ShowMessage(sum(3000));
ShowMessage(depth(4000));
if (even(2000)) ShowMessage("even");
if (odd(2001)) ShowMessage("odd");
if (repeat(1500) == repeat(1499) + "a") ShowMessage("same");
