#define LIMIT 3
int counter = 0;
string greet(string name, int times = 1)
{
  string r = "";
  for (int i = 0; i < times; i++) r = r + "Hi " + name + ";";
  return r;
}
// main block
{
  ShowMessage(greet("A"));
  ShowMessage(greet("B", LIMIT));
  while (counter < LIMIT) { counter++; }
  if (counter == LIMIT) { ShowMessage("done"); } else ShowMessage("no");
  /* block comment */
  TStringList l = new TStringList;
  try { l.Add("x"); ShowMessage(l[0]); } finally { l.Free; }
}
