' report-ish BasicScript
Dim total As Integer = 0
Dim names
names = "a,b,c"
Sub AddTo(ByRef acc, ByVal n)
  acc = acc + n
End Sub
For i = 1 To 4
  AddTo(total, i)
Next
ShowMessage("Total: " & IntToStr(total))
Dim l
Set l = New TStringList
l.CommaText = names
With l
  Add("d")
End With
ShowMessage(l.Count)
If l.Count > 3 Then ShowMessage("big") : ShowMessage("really")
Do
  total = total - 3
Loop While total > 0
ShowMessage(total)
l.Free
