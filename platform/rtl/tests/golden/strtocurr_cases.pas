{ Prints how text reads as Currency (raw value, times 10000, or "error");
  SysUtilsTest's CurrencyText cases take their expected values from here.
  Rerun: mkdir -p /tmp/golden && fpc -Mobjfpc -FE/tmp/golden strtocurr_cases.pas && /tmp/golden/strtocurr_cases }
{$mode objfpc}{$H+}
program strtocurr_cases;
uses SysUtils;
procedure P(const s: string);
var c: Currency;
begin
  if TryStrToCurr(s, c) then WriteLn(s, ' ', PInt64(@c)^) else WriteLn(s, ' error');
end;
begin
  FormatSettings.DecimalSeparator := '.';
  P('12.34'); P('-0.5'); P('12.34565'); P('12.34575'); P('12.345651');
  P('922337203685477'); P('1e2'); P('1e20');
  P('922337203685477.5807'); P('-922337203685477.5808'); P('922337203685477.5808');
  P('-922337203685477.5809'); P('999999999999999.9999');
  P('9.22337203685477e14'); P('1.23456789e5'); P('-12345e-8'); P('5e-5'); P('1.5e-4');
  P('0e999'); P('12.3456E+002');
end.
