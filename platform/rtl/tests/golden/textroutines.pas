{ Rerun: cd platform/rtl/tests/golden && fpc -Mobjfpc -FE/tmp textroutines.pas && /tmp/textroutines }
{$mode objfpc}{$H+}
program textroutines;
{ Prints expected values for the text routine tests (TextUtilsTest.cpp). }
uses SysUtils, StrUtils;

procedure Q(const name, v: string);
begin
  WriteLn(name, ' -> [', v, ']');
end;

procedure XQ(const s: string; quote: Char);
var p: PChar; r: string;
begin
  p := PChar(s);
  r := AnsiExtractQuotedStr(p, quote);
  WriteLn('AnsiExtractQuotedStr(', s, ') -> [', r, '] rest [', string(p), ']');
end;

begin
  Q('AnsiDequotedStr(''abc'')', AnsiDequotedStr('''abc''', ''''));
  Q('AnsiDequotedStr(''a''''b'')', AnsiDequotedStr('''a''''b''', ''''));
  Q('AnsiDequotedStr('''')', AnsiDequotedStr('''''', ''''));
  Q('AnsiDequotedStr(''abc)', AnsiDequotedStr('''abc', ''''));
  Q('AnsiDequotedStr(abc'')', AnsiDequotedStr('abc''', ''''));
  Q('AnsiDequotedStr(''a''b)', AnsiDequotedStr('''a''b', ''''));
  Q('AnsiDequotedStr(abc)', AnsiDequotedStr('abc', ''''));
  Q('AnsiDequotedStr()', AnsiDequotedStr('', ''''));
  Q('AnsiDequotedStr('')', AnsiDequotedStr('''', ''''));
  XQ('''ab''''c''rest', '''');
  XQ('''abc', '''');
  XQ('abc''', '''');
  XQ('"x""y"z', '"');
  Q('QuotedStr(it''s)', QuotedStr('it''s'));
  Q('AnsiQuotedStr(a"b,")', AnsiQuotedStr('a"b', '"'));
  Q('Trim', Trim(#9' a b '#13#10));
  Q('TrimLeft', TrimLeft(#1' a '));
  Q('TrimRight', TrimRight(' a '#0));
  Q('SR all ic', StringReplace('aXbxcX', 'x', '-', [rfReplaceAll, rfIgnoreCase]));
  Q('SR first', StringReplace('aXbxcX', 'x', '-', []));
  Q('SR first ic', StringReplace('aXbxcX', 'x', '-', [rfIgnoreCase]));
  Q('SR all', StringReplace('aaaa', 'aa', 'b', [rfReplaceAll]));
  Q('SR empty old', StringReplace('abc', '', 'z', [rfReplaceAll]));
  Q('ExtractFilePath(/a/b.txt)', ExtractFilePath('/a/b.txt'));
  Q('ExtractFilePath(b.txt)', ExtractFilePath('b.txt'));
  Q('ExtractFileDir(/a/b.txt)', ExtractFileDir('/a/b.txt'));
  Q('ExtractFileDir(/b.txt)', ExtractFileDir('/b.txt'));
  Q('ExtractFileName(/a/b.txt)', ExtractFileName('/a/b.txt'));
  Q('ExtractFileExt(/a.d/b)', ExtractFileExt('/a.d/b'));
  Q('ExtractFileExt(/a/b.tar.gz)', ExtractFileExt('/a/b.tar.gz'));
  Q('ExtractFileExt(/a/.ini)', ExtractFileExt('/a/.ini'));
  Q('ChangeFileExt(/a.d/b,.x)', ChangeFileExt('/a.d/b', '.x'));
  Q('ChangeFileExt(/a/b.txt,.x)', ChangeFileExt('/a/b.txt', '.x'));
  Q('ChangeFileExt(/a/b.txt,)', ChangeFileExt('/a/b.txt', ''));
  Q('IncludeTrailingPathDelimiter(/a)', IncludeTrailingPathDelimiter('/a'));
  Q('IncludeTrailingPathDelimiter()', IncludeTrailingPathDelimiter(''));
  Q('ExcludeTrailingPathDelimiter(/a/)', ExcludeTrailingPathDelimiter('/a/'));
  Q('ExcludeTrailingPathDelimiter(/)', ExcludeTrailingPathDelimiter('/'));
  Q('ExpandFileName(/a/./b/../c)', ExpandFileName('/a/./b/../c'));
  WriteLn('IsValidIdent: _a1=', IsValidIdent('_a1'), ' 1a=', IsValidIdent('1a'), ' a.b=', IsValidIdent('a.b'),
    ' a.b dots=', IsValidIdent('a.b', True), ' a..b dots=', IsValidIdent('a..b', True), ' a. dots=', IsValidIdent('a.', True),
    ' empty=', IsValidIdent(''));
  Q('Copy(abcdef,0,2)', Copy('abcdef', 0, 2));
  Q('Copy(abcdef,5,10)', Copy('abcdef', 5, 10));
  Q('Copy(abcdef,7,1)', Copy('abcdef', 7, 1));
  WriteLn('PosEx(a,abca,2)=', PosEx('a', 'abca', 2), ' PosEx(a,abca,5)=', PosEx('a', 'abca', 5), ' Pos(,abc)=', Pos('', 'abc'));
  Q('RightStr(abc,5)', RightStr('abc', 5));
  Q('MidStr(abcdef,2,3)', MidStr('abcdef', 2, 3));
  Q('ReverseString', ReverseString('abc'));
  Q('DupeString', DupeString('ab', 3));
  WriteLn('CompareStr(a,b)<0=', CompareStr('a', 'b') < 0, ' CompareText(abc,ABD)<0=', CompareText('abc', 'ABD') < 0,
    ' CompareText(a_,aZ)=', CompareText('a_', 'aZ') > 0);
end.
