// Prepending to a variable that holds text puts the new text in front.
function label(x) {
  var r;
  r = "!";
  r = x + r;
  return r;
}
var s, t, n, i;
s = "7";
for (i = 0; i < 3; i++) s = " " + s;
ShowMessage("[" + s + "]");
t = "c";
t = "b" + t;
t = "a" + t;
ShowMessage(t);
s = "x";
s = s + "y";
s = "w" + s;
ShowMessage(s);
ShowMessage(label("hi"));
n = 5;
n = 2 * n;
n = 1 + n;
ShowMessage(n);
