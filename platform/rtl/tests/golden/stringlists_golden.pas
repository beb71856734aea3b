{ Expected values for StringListsTest.cpp, printed by an independent
  implementation of the class library's string lists.
  Rerun: fpc -Mobjfpc -FE/tmp stringlists_golden.pas && /tmp/stringlists_golden }
program stringlists_golden;
{$mode objfpc}{$H+}
uses Classes, SysUtils;

{ Shows a string as a C++ literal body: quotes, backslashes and control
  characters escaped. }
function Esc(const S: string): string;
var I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do
    case S[I] of
      '"': Result := Result + '\"';
      '\': Result := Result + '\\';
      #13: Result := Result + '\r';
      #10: Result := Result + '\n';
      #9: Result := Result + '\t';
      #0..#8, #11, #12, #14..#31: Result := Result + '\x' + IntToHex(Ord(S[I]), 2) + '""';
    else
      Result := Result + S[I];
    end;
end;

function Items(L: TStrings): string;
var I: Integer;
begin
  Result := '{';
  for I := 0 to L.Count - 1 do
  begin
    if I > 0 then Result := Result + ', ';
    Result := Result + '"' + Esc(L[I]) + '"';
  end;
  Result := Result + '}';
end;

procedure ParseComma(const S: string);
var L: TStringList;
begin
  L := TStringList.Create;
  L.CommaText := S;
  WriteLn('    {"', Esc(S), '", ', Items(L), '},');
  L.Free;
end;

procedure ParseDelim(const S: string; D, Q: Char; Strict: Boolean);
var L: TStringList;
begin
  L := TStringList.Create;
  L.Delimiter := D; L.QuoteChar := Q; L.StrictDelimiter := Strict;
  L.DelimitedText := S;
  WriteLn('    {"', Esc(S), '", ''', D, ''', ''', Esc(Q), ''', ', LowerCase(BoolToStr(Strict, True)), ', ', Items(L), '},');
  L.Free;
end;

procedure MakeComma(const A: array of string);
var L: TStringList; I: Integer;
begin
  L := TStringList.Create;
  for I := 0 to High(A) do L.Add(A[I]);
  WriteLn('    {', Items(L), ', "', Esc(L.CommaText), '"},');
  L.Free;
end;

procedure StrictComma(const S: string; const A: array of string);
var L: TStringList; I: Integer;
begin
  L := TStringList.Create;
  L.StrictDelimiter := True;
  L.CommaText := S;
  Write('    {"', Esc(S), '", ', Items(L), ', ');
  L.Clear;
  for I := 0 to High(A) do L.Add(A[I]);
  WriteLn(Items(L), ', "', Esc(L.CommaText), '"},');
  L.Free;
end;

procedure MakeDelim(const A: array of string; D, Q: Char; Strict: Boolean);
var L: TStringList; I: Integer;
begin
  L := TStringList.Create;
  L.Delimiter := D; L.QuoteChar := Q; L.StrictDelimiter := Strict;
  for I := 0 to High(A) do L.Add(A[I]);
  WriteLn('    {', Items(L), ', ''', D, ''', ''', Esc(Q), ''', ', LowerCase(BoolToStr(Strict, True)), ', "', Esc(L.DelimitedText), '"},');
  L.Free;
end;

procedure ParseText(const S: string);
var L: TStringList;
begin
  L := TStringList.Create;
  L.Text := S;
  WriteLn('    {"', Esc(S), '", ', Items(L), ', "', Esc(L.Text), '"},');
  L.Free;
end;

procedure NameValue(const S: string);
var L: TStringList;
begin
  L := TStringList.Create;
  L.Add(S);
  WriteLn('    {"', Esc(S), '", "', Esc(L.Names[0]), '", "', Esc(L.ValueFromIndex[0]), '"},');
  L.Free;
end;

begin
  WriteLn('// CommaText parse');
  ParseComma('a,b,c');
  ParseComma('');
  ParseComma('a b,c');
  ParseComma(' a , b ');
  ParseComma('"a b",c');
  ParseComma('"a""b",c');
  ParseComma('"a"b,c');
  ParseComma('a"b",c');
  ParseComma('a,,b');
  ParseComma(',');
  ParseComma('a,');
  ParseComma(',a');
  ParseComma('"unterminated');
  ParseComma('""');
  ParseComma('"",""');
  ParseComma('a'#9'b');
  ParseComma('"x,y" z');
  ParseComma('  ');
  WriteLn('// CommaText make');
  MakeComma([]);
  MakeComma(['']);
  MakeComma(['', '']);
  MakeComma(['a', 'b']);
  MakeComma(['a b', 'c']);
  MakeComma(['a,b']);
  MakeComma(['a"b']);
  MakeComma(['"a"']);
  MakeComma(['a', '', 'b']);
  MakeComma(['tab'#9'x']);
  MakeComma(['a=b c']);
  MakeComma(['a''b']);
  WriteLn('// CommaText under StrictDelimiter');
  StrictComma('a b, c', ['a b', 'c']);
  StrictComma('"a b",c', ['a,b', '']);
  WriteLn('// DelimitedText parse');
  ParseDelim('a;b c;d', ';', '"', False);
  ParseDelim('a;b c;d', ';', '"', True);
  ParseDelim(' a ; b ', ';', '"', True);
  ParseDelim('''a;b'';c', ';', '''', False);
  ParseDelim('''a''''b'';c', ';', '''', True);
  ParseDelim('a|b||c', '|', '"', True);
  ParseDelim('"a|b"|c', '|', '"', True);
  ParseDelim('', ';', '"', True);
  ParseDelim(';', ';', '"', True);
  WriteLn('// DelimitedText make');
  MakeDelim(['a', 'b c', 'd;e'], ';', '"', False);
  MakeDelim(['a', 'b c', 'd;e'], ';', '"', True);
  MakeDelim(['a''b', 'c'], ';', '''', False);
  MakeDelim(['a''b', 'c'], ';', '''', True);
  MakeDelim(['x"y', 'z'], '|', '"', True);
  MakeDelim([''], ';', '"', True);
  MakeDelim(['', 'a'], ';', '"', True);
  WriteLn('// Text');
  ParseText('');
  ParseText('a');
  ParseText('a'#13#10'b');
  ParseText('a'#10'b');
  ParseText('a'#13'b');
  ParseText('a'#13#10);
  ParseText(#13#10);
  ParseText('a'#13#10#13#10'b');
  ParseText('a'#10#13'b');
  ParseText('a'#13#13#10'b');
  WriteLn('// Names / ValueFromIndex');
  NameValue('a=1');
  NameValue('a=');
  NameValue('=x');
  NameValue('noeq');
  NameValue('a=b=c');
  NameValue('');
end.
