{ Prints the class library's variant results used as expected values by
  VariantsTest.cpp.  Rerun:
    cd platform/rtl/tests/golden && fpc -Mobjfpc -FE/tmp variants_golden.pas && /tmp/variants_golden }
program variants_golden;
{$mode objfpc}{$H+}
uses cwstring, SysUtils, Variants;

function Show(const v: Variant): string;
begin
  if VarIsNull(v) then Result := 'Null'
  else if VarIsEmpty(v) then Result := 'Empty'
  else Result := VarTypeAsText(VarType(v)) + ' ' + VarToStr(v);
end;

procedure Bin(const name: string; const a, b: Variant; const op: string);
var r: Variant;
begin
  try
    if op = '+' then r := a + b
    else if op = '-' then r := a - b
    else if op = '*' then r := a * b
    else if op = '/' then r := a / b
    else if op = 'div' then r := a div b
    else if op = 'mod' then r := a mod b
    else if op = 'and' then r := a and b
    else if op = 'or' then r := a or b
    else if op = 'xor' then r := a xor b
    else if op = 'shl' then r := a shl b
    else if op = 'shr' then r := a shr b;
    WriteLn(name, ' ', op, ' => ', Show(r));
  except on E: Exception do WriteLn(name, ' ', op, ' => ', E.ClassName, ': ', E.Message);
  end;
end;

procedure Un(const name: string; const a: Variant; const op: string);
var r: Variant;
begin
  try
    if op = 'not' then r := not a else r := -a;
    WriteLn(op, ' ', name, ' => ', Show(r));
  except on E: Exception do WriteLn(op, ' ', name, ' => ', E.ClassName, ': ', E.Message);
  end;
end;

procedure Cmp(const name: string; const a, b: Variant);
var s: string;
  procedure One(const op: string);
  var r: Boolean;
  begin
    try
      if op = '=' then r := a = b
      else if op = '<>' then r := a <> b
      else if op = '<' then r := a < b
      else if op = '<=' then r := a <= b
      else if op = '>' then r := a > b
      else r := a >= b;
      s := s + ' ' + op + BoolToStr(r, 'T', 'F');
    except on E: Exception do s := s + ' ' + op + 'X(' + E.ClassName + ')';
    end;
  end;
begin
  s := '';
  One('='); One('<>'); One('<'); One('<='); One('>'); One('>=');
  try
    case VarCompareValue(a, b) of
      vrEqual: s := s + ' cv=Eq';
      vrLessThan: s := s + ' cv=Lt';
      vrGreaterThan: s := s + ' cv=Gt';
      vrNotEqual: s := s + ' cv=Ne';
    end;
  except on E: Exception do s := s + ' cv=X(' + E.ClassName + ')';
  end;
  try
    s := s + ' same=' + BoolToStr(VarSameValue(a, b), 'T', 'F');
  except on E: Exception do s := s + ' same=X(' + E.ClassName + ')';
  end;
  WriteLn('cmp ', name, ' =>', s);
end;

procedure Conv(const name: string; const a: Variant);
var s: string;
begin
  s := '';
  try s := s + ' bool=' + BoolToStr(Boolean(a), 'T', 'F'); except on E: Exception do s := s + ' bool=X(' + E.ClassName + ')'; end;
  try s := s + ' int=' + IntToStr(Integer(a)); except on E: Exception do s := s + ' int=X(' + E.ClassName + ')'; end;
  try s := s + ' i64=' + IntToStr(Int64(a)); except on E: Exception do s := s + ' i64=X(' + E.ClassName + ')'; end;
  try s := s + ' dbl=' + FloatToStr(Double(a)); except on E: Exception do s := s + ' dbl=X(' + E.ClassName + ')'; end;
  try s := s + ' cur=' + CurrToStr(Currency(a)); except on E: Exception do s := s + ' cur=X(' + E.ClassName + ')'; end;
  try s := s + ' date=' + FloatToStr(VarToDateTime(a)); except on E: Exception do s := s + ' date=X(' + E.ClassName + ')'; end;
  try s := s + ' str=[' + string(a) + ']'; except on E: Exception do s := s + ' str=X(' + E.ClassName + ')'; end;
  try s := s + ' vts=[' + VarToStr(a) + ']'; except on E: Exception do s := s + ' vts=X(' + E.ClassName + ')'; end;
  WriteLn('conv ', name, ' =>', s);
end;

var
  c: Currency;
  d: TDateTime;
  i: Integer;
  v: Variant;
begin
  DefaultFormatSettings.ShortDateFormat := 'yyyy-mm-dd';
  DefaultFormatSettings.DateSeparator := '-';
  DefaultFormatSettings.LongTimeFormat := 'hh:nn:ss';
  DefaultFormatSettings.TimeSeparator := ':';
  DefaultFormatSettings.DecimalSeparator := '.';
  NullStrictConvert := False;
  c := 1.5;
  d := EncodeDate(2023, 3, 15) + EncodeTime(13, 45, 30, 0);

  Conv('int 42', 42);
  Conv('int -1', -1);
  Conv('int 0', 0);
  Conv('dbl 2.5', 2.5);
  Conv('dbl 3.5', 3.5);
  Conv('dbl -2.5', -2.5);
  Conv('dbl 1/3', 1/3);
  Conv('dbl 1e20', 1e20);
  Conv('dbl 1e-5', 1e-5);
  Conv('dbl 3e9', 3e9);
  Conv('dbl 123456789.125', 123456789.125);
  Conv('i64 5000000000', Int64(5000000000));
  Conv('bool true', True);
  Conv('bool false', False);
  Conv('cur 1.5', c);
  Conv('date', VarFromDateTime(d));
  Conv('date only', VarFromDateTime(EncodeDate(2023, 3, 15)));
  Conv('time only', VarFromDateTime(EncodeTime(8, 5, 0, 0)));
  Conv('str 12', '12');
  Conv('str  12 ', ' 12 ');
  Conv('str 12.5', '12.5');
  Conv('str 2.5', '2.5');
  Conv('str $1F', '$1F');
  Conv('str abc', 'abc');
  Conv('str empty', '');
  Conv('str True', 'True');
  Conv('str false', 'false');
  Conv('str 1e3', '1e3');
  Conv('str 2023-03-15', '2023-03-15');
  Conv('str 2023-03-15 13:45:30', '2023-03-15 13:45:30');
  Conv('str 5000000000', '5000000000');
  Conv('null', Null);
  Conv('empty', Unassigned);
  Conv('byte 200', VarAsType(200, varByte));
  Conv('single 0.1', VarAsType(0.1, varSingle));
  NullStrictConvert := True;
  Conv('null strict', Null);
  NullStrictConvert := False;

  Bin('1,2', 1, 2, '+');
  Bin('maxint,1', MaxInt, 1, '+');
  Bin('-maxint-1,1', -MaxInt - 1, 1, '-');
  Bin('100000,100000', 100000, 100000, '*');
  Bin('i64max,1', High(Int64), 1, '+');
  Bin('1,2.5', 1, 2.5, '+');
  Bin('s1,2', '1', 2, '+');
  Bin('2,s1', 2, '1', '+');
  Bin('s1,s2', '1', '2', '+');
  Bin('s1.5,1', '1.5', 1, '+');
  Bin('sa,1', 'a', 1, '+');
  Bin('s3,s1', '3', '1', '-');
  Bin('s2,s3', '2', '3', '*');
  Bin('true,1', True, 1, '+');
  Bin('true,true', True, True, '+');
  Bin('true,false', True, False, '-');
  Bin('true,s1', True, '1', '+');
  Bin('true,sx', True, 'x', '+');
  Bin('null,1', Null, 1, '+');
  Bin('1,null', 1, Null, '*');
  Bin('null,sa', Null, 'a', '+');
  Bin('empty,1', Unassigned, 1, '+');
  Bin('empty,empty', Unassigned, Unassigned, '+');
  Bin('empty,sa', Unassigned, 'a', '+');
  Bin('empty,null', Unassigned, Null, '+');
  Bin('empty,2.5', Unassigned, 2.5, '*');
  Bin('7,2', 7, 2, '/');
  Bin('6,3', 6, 3, '/');
  Bin('7,2', 7, 2, 'div');
  Bin('-7,2', -7, 2, 'div');
  Bin('7,2', 7, 2, 'mod');
  Bin('-7,2', -7, 2, 'mod');
  Bin('7.5,2', 7.5, 2, 'div');
  Bin('7.5,2', 7.5, 2, 'mod');
  Bin('1,0', 1, 0, 'div');
  Bin('1,0', 1, 0, 'mod');
  Bin('1,0', 1, 0, '/');
  Bin('1.5,0', 1.5, 0, '/');
  Bin('0,0', 0, 0, '/');
  Bin('s7,s2', '7', '2', 'div');
  Bin('s7,s2', '7', '2', '/');
  Bin('5,3', 5, 3, 'and');
  Bin('5,3', 5, 3, 'or');
  Bin('5,3', 5, 3, 'xor');
  Bin('true,false', True, False, 'and');
  Bin('true,false', True, False, 'or');
  Bin('true,true', True, True, 'xor');
  Bin('true,3', True, 3, 'and');
  Bin('strue,true', 'True', True, 'and');
  Bin('null,true', Null, True, 'and');
  Bin('null,false', Null, False, 'and');
  Bin('null,true', Null, True, 'or');
  Bin('2.5,1', 2.5, 1, 'and');
  Bin('1,4', 1, 4, 'shl');
  Bin('-16,2', -16, 2, 'shr');
  Bin('256,4', 256, 4, 'shr');
  Bin('cur,1', c, 1, '+');
  Bin('cur,2.5', c, 2.5, '*');
  Bin('cur,cur', c, c, '*');
  Bin('cur,2', c, 2, '/');
  Bin('date,1', VarFromDateTime(d), 1, '+');
  Bin('date,date', VarFromDateTime(d), VarFromDateTime(EncodeDate(2023, 3, 14)), '-');
  Bin('date,0.5', VarFromDateTime(d), 0.5, '-');
  Bin('single,single', VarAsType(1.5, varSingle), VarAsType(2, varSingle), '+');
  Bin('single,dbl', VarAsType(1.5, varSingle), 2.0, '+');
  Bin('byte,byte', VarAsType(200, varByte), VarAsType(100, varByte), '+');
  Bin('smallint,smallint', VarAsType(30000, varSmallint), VarAsType(30000, varSmallint), '+');
  Bin('i64,1', Int64(5000000000), 1, '+');
  Bin('longword,1', VarAsType(4000000000, varLongWord), 1, '+');
  Bin('int,i64', 2, Int64(3), '*');
  Bin('s1,null', '1', Null, '+');
  Bin('longword5,1', VarAsType(5, varLongWord), 1, '+');
  Bin('i64 7,2', Int64(7), 2, 'div');
  Bin('i64 6,3', Int64(6), 3, 'and');
  Bin('i64 1,4', Int64(1), 4, 'shl');
  Bin('i64 -16,2', Int64(-16), 2, 'shr');
  Bin('1,31', 1, 31, 'shl');
  Bin('int,int', 3, 4, '*');
  Bin('word,word', VarAsType(3, varWord), VarAsType(4, varWord), '-');
  Bin('s7.5,2', '7.5', 2, 'div');
  Bin('sx,strue', 'x', 'True', 'and');
  Bin('s1,s0', '1', '0', 'and');
  Bin('empty,true', Unassigned, True, 'and');
  Bin('date,date', VarFromDateTime(d), VarFromDateTime(d), '+');
  Bin('cur,s2', c, '2', '+');
  Bin('olestr,str', VarAsType('a', varOleStr), 'b', '+');

  Un('5', 5, 'not');
  Un('true', True, 'not');
  Un('s1', '1', 'not');
  Un('strue', 'True', 'not');
  Un('2.5', 2.5, 'not');
  Un('null', Null, 'not');
  Un('empty', Unassigned, 'not');
  Un('5', 5, '-');
  Un('true', True, '-');
  Un('s3', '3', '-');
  Un('2.5', 2.5, '-');
  Un('null', Null, '-');
  Un('empty', Unassigned, '-');
  Un('minint', -MaxInt - 1, '-');
  Un('cur', c, '-');
  Un('sa', 'a', '-');
  Un('i64', Int64(5000000000), '-');
  Un('i64', Int64(5000000000), 'not');
  Un('single', VarAsType(1.5, varSingle), '-');
  Un('date', VarFromDateTime(d), '-');

  Cmp('1,1', 1, 1);
  Cmp('1,2', 1, 2);
  Cmp('1,1.0', 1, 1.0);
  Cmp('1.5,1', 1.5, 1);
  Cmp('sa,sb', 'a', 'b');
  Cmp('sa,sA', 'a', 'A');
  Cmp('s10,s9', '10', '9');
  Cmp('s10,9', '10', 9);
  Cmp('9,s10', 9, '10');
  Cmp('sa,1', 'a', 1);
  Cmp('null,null', Null, Null);
  Cmp('null,1', Null, 1);
  Cmp('1,null', 1, Null);
  Cmp('null,empty', Null, Unassigned);
  Cmp('empty,empty', Unassigned, Unassigned);
  Cmp('empty,0', Unassigned, 0);
  Cmp('empty,1', Unassigned, 1);
  Cmp('empty,s', Unassigned, '');
  Cmp('empty,sa', Unassigned, 'a');
  Cmp('true,-1', True, -1);
  Cmp('true,1', True, 1);
  Cmp('true,false', True, False);
  Cmp('strue,true', 'True', True);
  Cmp('s1,true', '1', True);
  Cmp('cur,1.5', c, 1.5);
  Cmp('date,dbl', VarFromDateTime(d), Double(d));
  Cmp('date,sdate', VarFromDateTime(EncodeDate(2023, 3, 15)), '2023-03-15');
  Cmp('i64,int', Int64(5000000000), 1);
  Cmp('olestr,str', VarAsType('abc', varOleStr), 'abc');

  WriteLn('typetext ', VarTypeAsText(varInteger), '|', VarTypeAsText(varString), '|', VarTypeAsText(varOleStr), '|',
    VarTypeAsText(varArray or varVariant), '|', VarTypeAsText(varByRef or varInteger), '|', VarTypeAsText(varInt64), '|',
    VarTypeAsText(varEmpty), '|', VarTypeAsText(varNull), '|', VarTypeAsText(varDate), '|', VarTypeAsText(varCurrency),'|',
    VarTypeAsText(varBoolean), '|', VarTypeAsText(varDispatch), '|', VarTypeAsText(varError), '|', VarTypeAsText(varUnknown),'|',
    VarTypeAsText(varShortInt), '|', VarTypeAsText(varByte), '|', VarTypeAsText(varWord), '|', VarTypeAsText(varLongWord), '|',
    VarTypeAsText(varSmallint), '|', VarTypeAsText(varSingle), '|', VarTypeAsText(varDouble), '|', VarTypeAsText(varVariant), '|',
    VarTypeAsText(varAny), '|', VarTypeAsText(999));
  try i := Integer(Variant('abc')); except on E: Exception do WriteLn('msg ', E.ClassName, ': ', E.Message); end;
  try i := Integer(VarArrayOf([1])); except on E: Exception do WriteLn('msg ', E.ClassName, ': ', E.Message); end;
  try i := VarArrayOf([1, 2])[5]; except on E: Exception do WriteLn('msg ', E.ClassName, ': ', E.Message); end;
  try v := VarArrayCreate([5, 1], varVariant); except on E: Exception do WriteLn('msg ', E.ClassName, ': ', E.Message); end;
  try Bin('x', VarArrayOf([1]), 1, '+'); except on E: Exception do WriteLn('msg ', E.ClassName, ': ', E.Message); end;
end.
