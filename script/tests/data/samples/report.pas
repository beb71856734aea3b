program Report;
const
  Max = 5;
  Title = 'Rep';
var
  names: array[1..Max] of String;
  i, total: Integer;
  done: Boolean;

function Pad(s: String; n: Integer): String;
  function Spaces(k: Integer): String;
  var j: Integer;
  begin
    Result := '';
    for j := 1 to k do Result := Result + ' ';
  end;
begin
  if Length(s) >= n then
  begin
    Result := Copy(s, 1, n);
    exit;
  end
  else
    Result := s + Spaces(n - Length(s));
end;

procedure Fill;
begin
  names[1] := 'Ann'; names[2] := 'Bob'; names[3] := 'Cyd'; names[4] := ''; names[5] := 'Eve';
end;

begin
  Fill;
  total := 0;
  i := 0;
  done := False;
  while not done do
  begin
    i := i + 1;
    if names[i] = '' then continue;
    total := total + Length(names[i]);
    if i >= Max then done := True;
  end;
  ShowMessage('[' + Pad(Title, 6) + ']' + IntToStr(total));
  for i := Max downto 1 do
    case names[i] of
      'Ann': ShowMessage('first');
      '': ShowMessage('empty');
    else
      ShowMessage(UpperCase(names[i]));
    end;
  if (total > 10) and not done then ShowMessage('no') else ShowMessage('yes');
end.
