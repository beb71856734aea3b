#!/bin/sh
# Produces the expected outputs of the differential tests with the real
# compilers: fpc for the PascalScript forms, node for the JScript forms and
# g++ for the C++Script forms. Run by hand when a case changes; the tests
# only read the *.out files.
set -e
cd "$(dirname "$0")"
work=$(mktemp -d)
for f in *.pas; do
  n=${f%.pas}
  {
    echo "program difftest; {\$mode objfpc}{\$H+}"
    echo "uses SysUtils, Variants, DateUtils;"
    echo "procedure ShowMessage(const v: Variant); begin WriteLn(VarToStr(v)); end;"
    echo "procedure RaiseException(const s: string); begin raise Exception.Create(s); end;"
    cat "$f"
  } > "$work/$n.pp"
  fpc -Mobjfpc -Sh -O1 -v0 -o"$work/$n" "$work/$n.pp" > /dev/null
  "$work/$n" > "$n.pas.out"
done
for f in *.js; do
  n=${f%.js}
  { cat prelude.js.txt; cat "$f"; } > "$work/$n.js"
  node "$work/$n.js" > "$n.js.out"
done
for f in *.cpp; do
  n=${f%.cpp}
  { cat prelude.hpp; awk '{ l[NR] = $0; if ($0 == "{") m = NR } END { for (i = 1; i <= NR; i++) print (i == m ? "int main() {" : l[i]) }' "$f"; } > "$work/$n.cc"
  g++ -std=c++17 -o "$work/$n" "$work/$n.cc"
  "$work/$n" > "$n.cpp.out"
done
rm -rf "$work"
