{ Prints the expected values of the number formatting tests as C++ table
  rows, from an independent implementation of the same routines.
  Rerun (from platform/rtl/tests):
    mkdir -p /tmp/golden && fpc -Mobjfpc -FE/tmp/golden golden/format_cases.pas && /tmp/golden/format_cases > GoldenFormatCases.inc
  Settings are those of TFormatSettings::Default() in our library. Cases
  where we deliberately differ are left out here and tested by hand. }
{$mode objfpc}{$H+}
program format_cases;
uses SysUtils;

function D(x: Double): Double; begin Result := x; end;

procedure P(const Expr, Value: string);
begin
  writeln('{R"~(', Expr, ')~", [] { return ', Expr, '; }, R"~(', Value, ')~"},');
end;

var c: Currency;
begin
  FormatSettings.CurrencyString := '￥';
  FormatSettings.CurrencyFormat := 0;
  FormatSettings.NegCurrFormat := 2;
  FormatSettings.ThousandSeparator := ',';
  FormatSettings.DecimalSeparator := '.';
  FormatSettings.CurrencyDecimals := 2;

  { Format: integers }
  P('Format("%d|%5d|%-5d|%.5d|%5.3d", {12, -12, 12, -12, 7})', Format('%d|%5d|%-5d|%.5d|%5.3d', [12, -12, 12, -12, 7]));
  P('Format("%d %d", {int64_t(-9223372036854775807LL), int64_t(1234567890123)})', Format('%d %d', [Int64(-9223372036854775807), Int64(1234567890123)]));
  P('Format("%u|%u|%8u", {-1, int64_t(-1), 42})', Format('%u|%u|%8u', [-1, Int64(-1), 42]));
  P('Format("%x|%X|%.4x|%8x|%x|%x", {255, 255, 255, 4096, -1, int64_t(-2)})', Format('%x|%X|%.4x|%8x|%x|%x', [255, 255, 255, 4096, -1, Int64(-2)]));
  P('Format("%d%%|%%d", {50})', Format('%d%%|%%d', [50]));
  { strings }
  P('Format("[%s][%5s][%-5s][%.2s][%s][%6.3s]", {"ab", "ab", "ab", "abcdef", ''c'', "abcdef"})', Format('[%s][%5s][%-5s][%.2s][%s][%6.3s]', ['ab', 'ab', 'ab', 'abcdef', 'c', 'abcdef']));
  P('Format("%s like ''%%%s%%''", {"Name", "张"})', Format('%s like ''%%%s%%''', ['Name', '张']));
  { index and star }
  P('Format("%1:s %0:s %s|%0:s%s%s", {"a", "b", "c"})', Format('%1:s %0:s %s|%0:s%s%s', ['a', 'b', 'c']));
  P('Format("[%*d][%-*d][%.*f][%*.*f]", {5, 42, 4, 7, 3, 3.14159, 8, 2, 2.5})', Format('[%*d][%-*d][%.*f][%*.*f]', [5, 42, 4, 7, 3, D(3.14159), 8, 2, D(2.5)]));
  { floats }
  P('Format("%f|%.0f|%.1f|%.3f|%10.2f|%-10.2f|", {3.14159, 2.5, 0.05, -1.0005, 1234.5, -1.5})', Format('%f|%.0f|%.1f|%.3f|%10.2f|%-10.2f|', [D(3.14159), D(2.5), D(0.05), D(-1.0005), D(1234.5), D(-1.5)]));
  P('Format("%.2f|%.2f|%.2f|%f", {0.125, 0.135, -0.001, 0.0})', Format('%.2f|%.2f|%.2f|%f', [D(0.125), D(0.135), D(-0.001), D(0.0)]));
  P('Format("%.3e|%.5e|%.1e|%.4e", {12345.678, -0.000123, 9.96, 0.0})', Format('%.3e|%.5e|%.1e|%.4e', [D(12345.678), D(-0.000123), D(9.96), D(0.0)]));
  P('Format("%.3g|%.5g|%.10g|%.4g", {1234.5, 0.000012345, 1.0 / 3, 1e20})', Format('%.3g|%.5g|%.10g|%.4g', [D(1234.5), D(0.000012345), D(D(1.0) / D(3.0)), D(1e20)]));
  P('Format("%n|%.0n|%.1n|%n", {1234567.891, -1234567.5, 999.95, 0.0})', Format('%n|%.0n|%.1n|%n', [D(1234567.891), D(-1234567.5), D(999.95), D(0.0)]));
  P('Format("%m|%m|%.0m|%12n", {1234.5, -1234.5, 5.0, 3.25})', Format('%m|%m|%.0m|%12n', [D(1234.5), D(-1234.5), D(5.0), D(3.25)]));
  c := 12.5;
  P('Format("%f|%m|%.4n", {Currency::FromRaw(125000), Currency::FromRaw(125000), Currency::FromRaw(-125000)})', Format('%f|%m|%.4n', [c, c, -c]));

  { FloatToStr }
  P('FloatToStr(0.1 + 0.2)', FloatToStr(D(D(0.1) + D(0.2))));
  P('FloatToStr(1e-5)', FloatToStr(D(1e-5)));
  P('FloatToStr(1e-6)', FloatToStr(D(1e-6)));
  P('FloatToStr(0.0001)', FloatToStr(D(0.0001)));
  P('FloatToStr(-1.5e-10)', FloatToStr(D(-1.5e-10)));
  P('FloatToStr(1e14)', FloatToStr(D(1e14)));
  P('FloatToStr(1e15)', FloatToStr(D(1e15)));
  P('FloatToStr(123456789012345.6)', FloatToStr(D(123456789012345.6)));
  P('FloatToStr(123456789012345678.0)', FloatToStr(D(123456789012345678.0)));
  P('FloatToStr(2.0 / 3)', FloatToStr(D(D(2.0) / D(3.0))));
  P('FloatToStr(-1234.5)', FloatToStr(D(-1234.5)));
  P('FloatToStr(0.0)', FloatToStr(D(0.0)));
  P('FloatToStr(100.0)', FloatToStr(D(100.0)));
  P('FloatToStr(1.7976931348623157e308)', FloatToStr(D(1.7976931348623157e308)));
  P('FloatToStr(4.9406564584124654e-324)', FloatToStr(D(4.9406564584124654e-324)));
  P('FloatToStr(999999999999999.5)', FloatToStr(D(999999999999999.5)));

  { FloatToStrF }
  P('FloatToStrF(1.26, ffGeneral, 1, 0)', FloatToStrF(D(1.26), ffGeneral, 1, 0));
  P('Format("%.1e|%.0e", {1.26, 1.26})', Format('%.1e|%.0e', [D(1.26), D(1.26)]));
  P('FloatToStrF(1234.5678, ffGeneral, 6, 0)', FloatToStrF(D(1234.5678), ffGeneral, 6, 0));
  P('FloatToStrF(1234.5678, ffGeneral, 3, 0)', FloatToStrF(D(1234.5678), ffGeneral, 3, 0));
  P('FloatToStrF(1e-7, ffGeneral, 15, 3)', FloatToStrF(D(1e-7), ffGeneral, 15, 3));
  P('FloatToStrF(1.5, ffExponent, 5, 2)', FloatToStrF(D(1.5), ffExponent, 5, 2));
  P('FloatToStrF(-1234.5678, ffExponent, 3, 0)', FloatToStrF(D(-1234.5678), ffExponent, 3, 0));
  P('FloatToStrF(1e-7, ffExponent, 3, 4)', FloatToStrF(D(1e-7), ffExponent, 3, 4));
  P('FloatToStrF(0.0, ffExponent, 3, 2)', FloatToStrF(D(0.0), ffExponent, 3, 2));
  P('FloatToStrF(2.5, ffFixed, 15, 0)', FloatToStrF(D(2.5), ffFixed, 15, 0));
  P('FloatToStrF(0.125, ffFixed, 15, 2)', FloatToStrF(D(0.125), ffFixed, 15, 2));
  P('FloatToStrF(1.005, ffFixed, 15, 2)', FloatToStrF(D(1.005), ffFixed, 15, 2));
  P('FloatToStrF(-0.001, ffFixed, 15, 2)', FloatToStrF(D(-0.001), ffFixed, 15, 2));
  P('FloatToStrF(1234567.891, ffNumber, 15, 2)', FloatToStrF(D(1234567.891), ffNumber, 15, 2));
  P('FloatToStrF(-999.999, ffNumber, 15, 2)', FloatToStrF(D(-999.999), ffNumber, 15, 2));
  P('FloatToStrF(123.0, ffNumber, 15, 0)', FloatToStrF(D(123.0), ffNumber, 15, 0));
  P('FloatToStrF(1234.5, ffCurrency, 15, 2)', FloatToStrF(D(1234.5), ffCurrency, 15, 2));
  P('FloatToStrF(-1234.5, ffCurrency, 15, 2)', FloatToStrF(D(-1234.5), ffCurrency, 15, 2));
  P('FloatToStrF(0.5, ffCurrency, 15, 0)', FloatToStrF(D(0.5), ffCurrency, 15, 0));
  P('FloatToStrF(3.14159, ffGeneral, 2, 0)', FloatToStrF(D(3.14159), ffGeneral, 2, 0));

  { FormatFloat }
  P('FormatFloat("0.00", 1.005)', FormatFloat('0.00', D(1.005)));
  P('FormatFloat("0.00", 2.675)', FormatFloat('0.00', D(2.675)));
  P('FormatFloat("0.00", 3.14159)', FormatFloat('0.00', D(3.14159)));
  P('FormatFloat("0", 0.5)', FormatFloat('0', D(0.5)));
  P('FormatFloat("0", -0.5)', FormatFloat('0', D(-0.5)));
  P('FormatFloat("0", 1.5)', FormatFloat('0', D(1.5)));
  P('FormatFloat("0", 2.5)', FormatFloat('0', D(2.5)));
  P('FormatFloat("#", 0.0)', FormatFloat('#', D(0.0)));
  P('FormatFloat("#.##", 0.5)', FormatFloat('#.##', D(0.5)));
  P('FormatFloat("#.##", 0.0)', FormatFloat('#.##', D(0.0)));
  P('FormatFloat("0.#", 2.25)', FormatFloat('0.#', D(2.25)));
  P('FormatFloat("0.##", 2.0)', FormatFloat('0.##', D(2.0)));
  P('FormatFloat("0.0#", 2.0)', FormatFloat('0.0#', D(2.0)));
  P('FormatFloat("00000", 42.0)', FormatFloat('00000', D(42.0)));
  P('FormatFloat("#,##0", 123456789.0)', FormatFloat('#,##0', D(123456789.0)));
  P('FormatFloat("#,##0.00", -1234567.891)', FormatFloat('#,##0.00', D(-1234567.891)));
  P('FormatFloat(",0.00", 1234.0)', FormatFloat(',0.00', D(1234.0)));
  P('FormatFloat("#,##0", 999.0)', FormatFloat('#,##0', D(999.0)));
  P('FormatFloat("#,##0", 1000.0)', FormatFloat('#,##0', D(1000.0)));
  P('FormatFloat("#,##0.00;(#,##0.00);零", -1234.567)', FormatFloat('#,##0.00;(#,##0.00);零', D(-1234.567)));
  P('FormatFloat("#,##0.00;(#,##0.00);零", 0.0)', FormatFloat('#,##0.00;(#,##0.00);零', D(0.0)));
  P('FormatFloat("#,##0.00;(#,##0.00);零", 1234.567)', FormatFloat('#,##0.00;(#,##0.00);零', D(1234.567)));
  P('FormatFloat("SUM=0.00;SUM=-0.00", -12.5)', FormatFloat('SUM=0.00;SUM=-0.00', D(-12.5)));
  P('FormatFloat("SUM=0.00;SUM=-0.00", 12.5)', FormatFloat('SUM=0.00;SUM=-0.00', D(12.5)));
  { An empty negative section: we use the positive one (tested by hand). }
  P('FormatFloat("0;;", 0.0)', FormatFloat('0;;', D(0.0)));
  P('FormatFloat("0.00;-0.00;\"zero\"", 0.0)', FormatFloat('0.00;-0.00;"zero"', D(0.0)));
  P('FormatFloat("0.###E+00", 12345.0)', FormatFloat('0.###E+00', D(12345.0)));
  P('FormatFloat("0.00E-0", 0.000123)', FormatFloat('0.00E-0', D(0.000123)));
  P('FormatFloat("0.00E+000", -98765.4321)', FormatFloat('0.00E+000', D(-98765.4321)));
  P('FormatFloat("00.0e+00", 0.5)', FormatFloat('00.0e+00', D(0.5)));
  P('FormatFloat("00-00", 1234.0)', FormatFloat('00-00', D(1234.0)));
  P('FormatFloat("x0x0x", 5.0)', FormatFloat('x0x0x', D(5.0)));
  P('FormatFloat("\"￥\"#,##0.00", 1234567.5)', FormatFloat('"￥"#,##0.00', D(1234567.5)));
  P('FormatFloat("\"￥\"#,##0.00", -5.0)', FormatFloat('"￥"#,##0.00', D(-5.0)));
  P('FormatFloat("0.00 ''元''", 12.0)', FormatFloat('0.00 ''元''', D(12.0)));
  P('FormatFloat(",0.00 ￥;-,0.00 ￥", -1234.5)', FormatFloat(',0.00 ￥;-,0.00 ￥', D(-1234.5)));
  P('FormatFloat("", 1.5)', FormatFloat('', D(1.5)));
  { an empty section with an empty first section: the general form }
  P('FormatFloat(";(0.00)", 1.5)', FormatFloat(';(0.00)', D(1.5)));
  P('FormatFloat(";(0.00)", -1.5)', FormatFloat(';(0.00)', D(-1.5)));
  P('FormatFloat(";", -1.5)', FormatFloat(';', D(-1.5)));
  P('FormatFloat(";;", 0.0)', FormatFloat(';;', D(0.0)));
  P('FormatFloat(";;zero", 12.25)', FormatFloat(';;zero', D(12.25)));
  P('FormatFloat("0", 1e25)', FormatFloat('0', D(1e25)));
  P('FormatFloat("0", 1e16)', FormatFloat('0', D(1e16)));
  P('FormatFloat("0", 1e17)', FormatFloat('0', D(1e17)));
  P('FormatFloat("0.00", 123456789012345.67)', FormatFloat('0.00', D(123456789012345.67)));
  P('FormatFloat("0.00000000000000000000", 0.1)', FormatFloat('0.00000000000000000000', D(0.1)));
  P('FormatFloat("#,##0.###", -0.0005)', FormatFloat('#,##0.###', D(-0.0005)));
  P('FormatFloat("#,##0.00", 123456789012345678.0)', FormatFloat('#,##0.00', D(123456789012345678.0)));
  P('FormatFloat("abc", -5.0)', FormatFloat('abc', D(-5.0)));
  P('FormatFloat("0.0", 123456789012.34)', FormatFloat('0.0', D(123456789012.34)));
  P('FormatFloat("#,##0.00", 0.005)', FormatFloat('#,##0.00', D(0.005)));
  P('FormatFloat("0%", 12.0)', FormatFloat('0%', D(12.0)));
  P('FormatFloat(".00", 12.5)', FormatFloat('.00', D(12.5)));
  P('FormatFloat("x.00", 12.5)', FormatFloat('x.00', D(12.5)));
  P('FormatFloat("#.00", 0.5)', FormatFloat('#.00', D(0.5)));
  P('FormatFloat("0.00E+00", 0.0)', FormatFloat('0.00E+00', D(0.0)));
  P('FormatFloat("00,000", 5.0)', FormatFloat('00,000', D(5.0)));
  P('FormatFloat("#,##0.00", 1e15)', FormatFloat('#,##0.00', D(1e15)));

  { currency }
  c := 1234.5;
  P('CurrToStr(Currency::FromRaw(12345000))', CurrToStr(c));
  c := -0.0001;
  P('CurrToStr(Currency::FromRaw(-1))', CurrToStr(c));
  c := 100;
  P('CurrToStr(Currency::FromRaw(1000000))', CurrToStr(c));
  c := 1234.5678;
  P('CurrToStrF(Currency::FromRaw(12345678), ffFixed, 2)', CurrToStrF(c, ffFixed, 2));
  P('CurrToStrF(Currency::FromRaw(12345678), ffNumber, 3)', CurrToStrF(c, ffNumber, 3));
  P('CurrToStrF(Currency::FromRaw(12345678), ffCurrency, 2)', CurrToStrF(c, ffCurrency, 2));
  P('CurrToStrF(Currency::FromRaw(-12345678), ffCurrency, 2)', CurrToStrF(-c, ffCurrency, 2));
  c := 0.125;
  P('FormatCurr("0.00", Currency::FromRaw(1250))', FormatCurr('0.00', c));
  P('FormatCurr("#,##0.00;(#,##0.00)", Currency::FromRaw(-12345678))', FormatCurr('#,##0.00;(#,##0.00)', -1234.5678));
  P('FormatCurr("0", Currency::FromRaw(25000))', FormatCurr('0', 2.5));

  { StrToFloat }
  P('FloatToStr(StrToFloat("  1.5e3 "))', FloatToStr(StrToFloat('  1.5e3 ')));
  P('FloatToStr(StrToFloat("-.5"))', FloatToStr(StrToFloat('-.5')));
  P('FloatToStr(StrToFloat("+12."))', FloatToStr(StrToFloat('+12.')));
  P('FloatToStr(StrToFloat("1E-2"))', FloatToStr(StrToFloat('1E-2')));
  P('CurrToStr(StrToCurr("12.34565"))', CurrToStr(StrToCurr('12.34565')));
  P('CurrToStr(StrToCurr("-0.00005"))', CurrToStr(StrToCurr('-0.00005')));
end.
