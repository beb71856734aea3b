{ Prints a sweep of doubles (as bit patterns) and their text under eight
  formatting routines, from an independent implementation, for
  SysUtilsTest's FloatSweep. Values stay below 1e9 so that fixed formats
  hold them in 15 digits.
  Rerun (from platform/rtl/tests):
    mkdir -p /tmp/golden && fpc -Mobjfpc -FE/tmp/golden golden/float_sweep.pas && /tmp/golden/float_sweep > data/float_sweep.txt }
{$mode objfpc}{$H+}
program float_sweep;
uses SysUtils;
var i: Integer; q: QWord; d: Double; e: Integer;
begin
  FormatSettings.DecimalSeparator := '.';
  FormatSettings.ThousandSeparator := ',';
  RandSeed := 7;
  for i := 1 to 600 do
  begin
    e := Random(40) - 20;
    d := (Random(2000000000) - 1000000000) / (Random(1000) + 1);
    d := d * Exp(e * Ln(10));
    while abs(d) > 1e9 do d := d / 1e6;
    if i mod 5 = 0 then d := Round(d * 1000) / 1000;
    if i mod 7 = 0 then d := Round(d) + 0.5;
    if i mod 11 = 0 then d := Round(d * 100) / 100 + 0.005;
    q := PQWord(@d)^;
    writeln(IntToHex(q, 16), #9, FloatToStr(d), #9, FormatFloat('#,##0.00', d), #9, FloatToStrF(d, ffFixed, 15, 2), #9, FloatToStrF(d, ffExponent, 6, 2), #9, Format('%.3f', [d]), #9, FormatFloat('0.###E+00', d), #9, FloatToStrF(d, ffGeneral, 7, 0), #9, FloatToStrF(d, ffNumber, 15, 1));
  end;
end.
