var
  d: TDateTime;
  y, m, dd: Word;
  i: Integer;
begin
  ShowMessage(Round(2.5));
  ShowMessage(Round(3.5));
  ShowMessage(Round(-2.5));
  ShowMessage(Trunc(-2.7));
  ShowMessage(Format('%.2f', [Int(-2.7)]));
  ShowMessage(Format('%.2f', [Frac(-2.75)]));
  ShowMessage(Format('%.4f', [Sqrt(2)]));
  ShowMessage(Format('%.1f', [Abs(-3.5)]));
  ShowMessage(Format('%.4f', [Sin(1) + Cos(1)]));
  ShowMessage(Format('%.4f', [ArcTan(1) * 4]));
  ShowMessage(Format('%.4f', [Exp(1)]));
  ShowMessage(Format('%.4f', [Ln(10)]));
  if IsLeapYear(2000) then ShowMessage('2000 leap');
  if not IsLeapYear(1900) then ShowMessage('1900 not leap');
  d := EncodeDate(2024, 2, 29);
  ShowMessage(FormatDateTime('yyyy-mm-dd', d + 1));
  DecodeDate(d, y, m, dd);
  ShowMessage(IntToStr(y) + '/' + IntToStr(m) + '/' + IntToStr(dd));
  ShowMessage(DayOfWeek(d));
  ShowMessage(Format('%d', [DayOfWeek(d)]));
  d := EncodeTime(13, 45, 30, 0);
  ShowMessage(FormatDateTime('hh:nn:ss', d));
  i := 10;
  Inc(i);
  Inc(i, 5);
  Dec(i, 3);
  ShowMessage(i);
  ShowMessage(StrToFloat('2.5') * 2);
  ShowMessage(Format('%s-%s', ['a', 'b']));
end.
