// report-ish JScript
function fmt(n) {
  if (n < 10) return "0" + IntToStr(n);
  return IntToStr(n);
}
var parts = "";
for (var i = 8; i <= 11; i++) {
  parts = parts + fmt(i) + " ";
}
ShowMessage(Trim(parts));
var list = new TStringList;
list.CommaText = "b,a,c";
list.Sort();
ShowMessage(list.CommaText);
switch (list.Count) {
  case 3: ShowMessage("three");
  default: ShowMessage("other");
}
try {
  list.Free;
  list.Add("x");
} except {
  ShowMessage("freed list refused");
}
