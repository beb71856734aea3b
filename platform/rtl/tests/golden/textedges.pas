{ Rerun: cd platform/rtl/tests/golden && fpc -Mobjfpc -FE/tmp textedges.pas && /tmp/textedges }
{$mode objfpc}{$H+}
program textedges;
{ Edge cases of the search and affix routines (TextUtilsTest.cpp). }
uses SysUtils, StrUtils;
begin
  WriteLn('ContainsText(abc,)=', AnsiContainsText('abc', ''));
  WriteLn('ContainsStr(abc,)=', AnsiContainsStr('abc', ''));
  WriteLn('StartsText(,abc)=', AnsiStartsText('', 'abc'));
  WriteLn('EndsText(,abc)=', AnsiEndsText('', 'abc'));
  WriteLn('StartsStr(,abc)=', AnsiStartsStr('', 'abc'));
  WriteLn('LeftStr(abc,-1)=[', LeftStr('abc', -1), ']');
  WriteLn('RightStr(abc,0)=[', RightStr('abc', 0), ']');
  WriteLn('MidStr(abc,0,2)=[', MidStr('abc', 0, 2), ']');
  WriteLn('PosEx(a,abc,0)=', PosEx('a', 'abc', 0));
  WriteLn('DupeString(ab,0)=[', DupeString('ab', 0), ']');
end.
