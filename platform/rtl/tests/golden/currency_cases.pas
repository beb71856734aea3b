{ Prints how doubles round to Currency (raw value, times 10000) and the
  product and quotient of two Currency values; SystemTest takes its expected
  values from here.  Rerun: fpc -Mobjfpc currency_cases.pas && ./currency_cases }
{$mode objfpc}{$H+}
program currency_cases;
uses SysUtils;
var c, a, b: Currency;
procedure P(x: Double);
begin
  c := x;
  WriteLn(FloatToStr(x), ' ', PInt64(@c)^);
end;
begin
  P(1.5); P(0.00005); P(0.00015); P(-0.00015); P(0.00025); P(0.00035);
  P(1.00005); P(123.45675); P(-2.5);
  a := 10.25; b := 3;
  c := a * b; WriteLn('mul ', PInt64(@c)^);
  c := a / b; WriteLn('div ', PInt64(@c)^);
end.
