function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n
  else Result := Fib(n - 1) + Fib(n - 2);
end;

function Ack(m, n: Integer): Integer;
begin
  if m = 0 then Result := n + 1
  else if n = 0 then Result := Ack(m - 1, 1)
  else Result := Ack(m - 1, Ack(m, n - 1));
end;

function Gcd(a, b: Integer): Integer;
begin
  if b = 0 then Result := a else Result := Gcd(b, a mod b);
end;

function Sub(a, b: Integer): Integer;
begin
  Result := a - b;
end;

procedure Twice(var x: Integer);
begin
  x := x * 2;
end;

function Power(b, e: Integer): Integer;
var half: Integer;
begin
  if e = 0 then begin Result := 1; exit; end;
  half := Power(b, e div 2);
  if e mod 2 = 0 then Result := half * half else Result := half * half * b;
end;

var k: Integer;
begin
  ShowMessage(Fib(20));
  ShowMessage(Ack(2, 3));
  ShowMessage(Gcd(1071, 462));
  ShowMessage(Sub(10, Sub(5, 1)));
  ShowMessage(Sub(Sub(20, 5), Sub(8, Sub(4, 1))));
  k := 5;
  Twice(k);
  Twice(k);
  ShowMessage(k);
  ShowMessage(Power(3, 13));
end.
