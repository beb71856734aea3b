{ Prints the expected values of the date formatting and parsing tests as C++
  table rows, from an independent implementation of the same routines.
  Rerun (from platform/rtl/tests):
    mkdir -p /tmp/golden && fpc -Mobjfpc -FE/tmp/golden golden/date_cases.pas && /tmp/golden/date_cases > GoldenDateCases.inc
  Settings are those of TFormatSettings::Default() in our library; "Dmy()"
  and "Program()" are the two variants the C++ test defines. Two-digit years
  are read in 2026, the year the C++ test's clock is set to. }
{$mode objfpc}{$H+}
program date_cases;
uses SysUtils, DateUtils;

var Dmy, Prog: TFormatSettings;

procedure P(const Expr, Value: string);
begin
  writeln('{R"~(', Expr, ')~", [] { return ', Expr, '; }, R"~(', Value, ')~"},');
end;

procedure F(const Fmt, DtC: string; Dt: TDateTime);
begin
  P('FormatDateTime(R"-(' + Fmt + ')-", ' + DtC + ')', FormatDateTime(Fmt, Dt));
end;

procedure FP(const Fmt, DtC: string; Dt: TDateTime);
begin
  P('FormatDateTime(R"-(' + Fmt + ')-", ' + DtC + ', Program())', FormatDateTime(Fmt, Dt, Prog));
end;

function Shown(Dt: TDateTime): string;
begin
  Result := FormatDateTime('yyyy-mm-dd hh:nn:ss.zzz', Dt);
end;

{ Kind: 0 date, 1 time, 2 date and time; Which: 0 default, 1 Dmy, 2 Program }
procedure S(Kind, Which: Integer; const Text: string);
const Names: array[0..2] of string = ('StrToDate', 'StrToTime', 'StrToDateTime');
      Sets: array[0..2] of string = ('FormatSettings', 'Dmy()', 'Program()');
var fs: TFormatSettings; v: string;
begin
  case Which of 0: fs := FormatSettings; 1: fs := Dmy; else fs := Prog; end;
  try
    case Kind of
      0: v := Shown(StrToDate(Text, fs));
      1: v := Shown(StrToTime(Text, fs));
    else v := Shown(StrToDateTime(Text, fs));
    end;
  except
    on E: EConvertError do v := '!error';
  end;
  P('Parsed([] { return ' + Names[Kind] + '(R"-(' + Text + ')-", ' + Sets[Which] + '); })', v);
end;

var i: Integer;
const
  A = 'EncodeDateTime(2008, 3, 5, 14, 30, 7, 45)';
  B = 'EncodeDateTime(2013, 1, 1, 0, 5, 9, 3)';
  N = 'EncodeDateTime(1899, 12, 29, 6, 0, 0, 0)';
  L = 'EncodeDate(2000, 2, 29)';
var dA, dB, dN, dL: TDateTime;
begin
  FormatSettings.DateSeparator := '-';
  FormatSettings.TimeSeparator := ':';
  FormatSettings.ShortDateFormat := 'yyyy-M-d';
  FormatSettings.LongDateFormat := 'yyyy''年''M''月''d''日''';
  FormatSettings.TimeAMString := '上午';
  FormatSettings.TimePMString := '下午';
  FormatSettings.ShortTimeFormat := 'h:mm';
  FormatSettings.LongTimeFormat := 'h:mm:ss';
  FormatSettings.DecimalSeparator := '.';
  for i := 1 to 12 do
  begin
    FormatSettings.ShortMonthNames[i] := ' ';
  end;
  FormatSettings.ShortMonthNames[1] := '一月'; FormatSettings.ShortMonthNames[2] := '二月';
  FormatSettings.ShortMonthNames[3] := '三月'; FormatSettings.ShortMonthNames[12] := '十二月';
  FormatSettings.LongMonthNames := FormatSettings.ShortMonthNames;
  FormatSettings.ShortDayNames[1] := '周日'; FormatSettings.ShortDayNames[3] := '周二';
  FormatSettings.ShortDayNames[4] := '周三'; FormatSettings.ShortDayNames[6] := '周五';
  FormatSettings.LongDayNames[1] := '星期日'; FormatSettings.LongDayNames[3] := '星期二';
  FormatSettings.LongDayNames[4] := '星期三'; FormatSettings.LongDayNames[6] := '星期五';
  FormatSettings.TwoDigitYearCenturyWindow := 50;
  Dmy := FormatSettings;
  Dmy.ShortDateFormat := 'dd/mm/yyyy';
  Dmy.DateSeparator := '/';
  Prog := FormatSettings;
  Prog.ShortDateFormat := 'yyyy-mm-dd';
  Prog.LongDateFormat := 'yyyy-mm-dd hh:nn:ss';

  dA := EncodeDateTime(2008, 3, 5, 14, 30, 7, 45);
  dB := EncodeDateTime(2013, 1, 1, 0, 5, 9, 3);
  dN := EncodeDateTime(1899, 12, 29, 6, 0, 0, 0);
  dL := EncodeDate(2000, 2, 29);

  F('yyyy-mm-dd hh:nn:ss', A, dA);
  F('yyyymmdd', A, dA);
  F('y yy yyy yyyy', B, dB);
  F('d dd ddd dddd', A, dA);
  F('ddddd', A, dA);
  F('dddddd', A, dA);
  F('m mm mmm mmmm', B, dB);
  F('mmm mmmm', A, dA);
  F('h hh n nn s ss z zz zzz', B, dB);
  F('hh:mm', A, dA);
  F('h:m:s', B, dB);
  { Quoted text between h and m, and letters that are no token: tested by hand. }
  F('mm/dd/yy', A, dA);
  F('c', A, dA);
  F('c', L, dL);
  F('t|tt', A, dA);
  F('h:nn am/pm', A, dA);
  F('h:nn AM/PM', B, dB);
  F('hh:nn a/p', A, dA);
  F('hh:nn A/P', B, dB);
  F('hh:nn ampm', A, dA);
  F('hh:nn ampm', B, dB);
  F('am/pm h', A, dA);
  F('''yyyy''yyyy"mm"mm', A, dA);
  F('dddd, d mmmm yyyy', L, dL);
  F('yyyy-mm-dd hh:nn:ss.zzz', N, dN);
  F('c', N, dN);
  F('yyyy-mm-dd hh:nn:ss', '-0.5', -0.5);
  F('yyyy-mm-dd hh:nn:ss', '0.0', 0.0);
  F('yyyy-mm-dd hh:nn:ss.zzz', '39447.99999999', 39447.99999999);
  FP('c', A, dA);
  FP('ddddd', A, dA);
  FP('dddddd', B, dB);
  FP('c', L, dL);

  S(0, 0, '2008-3-5');
  S(0, 0, ' 2008-03-05 ');
  S(0, 0, '08-3-5');
  S(0, 0, '76-3-5');
  S(0, 0, '75-3-5');
  S(0, 0, '3-5');
  S(0, 0, '2008-2-30');
  S(0, 0, '2008/3/5');
  S(0, 0, '2008-3-5 10:00');
  S(0, 0, '2008-3-');
  S(0, 0, '');
  S(0, 0, 'abc');
  S(0, 0, '0008-3-5');
  S(0, 1, '05/03/2008');
  S(0, 1, '5/3/08');
  S(0, 1, '5/3');
  S(0, 1, '2008-03-05');
  S(0, 2, '2000-02-29');
  S(0, 2, '1999-02-29');
  S(1, 0, '14:30');
  S(1, 0, '14:30:07');
  S(1, 0, '14:30:07.045');
  S(1, 0, '2:30 PM');
  S(1, 0, '12:00 am');
  S(1, 0, '下午 2:30');
  S(1, 0, '24:00');
  S(1, 0, '14:60');
  S(1, 0, '13:00 PM');
  S(1, 0, '14:30:');
  S(1, 0, 'x');
  S(2, 2, '2008-03-05 14:30:07');
  S(2, 2, '2008-03-05');
  S(2, 2, '14:30');
  S(2, 2, '2008-03-05 25:00');
  S(2, 2, '2008-03-05 14:30 x');
  S(2, 1, '05/03/2008 9:05:00');
end.
