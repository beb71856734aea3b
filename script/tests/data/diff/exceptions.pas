function Guarded(n: Integer): Integer;
begin
  Result := 0;
  try
    if n > 2 then exit;
    Result := n * 10;
  finally
    ShowMessage('finally ' + IntToStr(n));
  end;
  Result := Result + 1;
end;

var i, total: Integer;
begin
  try
    ShowMessage('before');
    RaiseException('problem');
    ShowMessage('not reached');
  except
    ShowMessage('handled');
  end;
  ShowMessage(Guarded(1));
  ShowMessage(Guarded(5));
  total := 0;
  for i := 1 to 10 do
  begin
    try
      if i = 4 then break;
      total := total + i;
    finally
      total := total + 100;
    end;
  end;
  ShowMessage(total);
  total := 0;
  for i := 1 to 5 do
  begin
    try
      if i mod 2 = 0 then continue;
      total := total + i;
    finally
      total := total + 1000;
    end;
  end;
  ShowMessage(total);
  try
    try
      RaiseException('inner');
    finally
      ShowMessage('inner finally');
    end;
  except
    ShowMessage('outer except');
  end;
  try
    i := StrToInt('abc');
  except
    ShowMessage('conversion failed');
  end;
end.
