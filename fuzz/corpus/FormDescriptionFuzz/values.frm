Begin Form f
  Caption = "a""b" & Chr(9) & vbTab
  N = -2147483648
  H = &HFFFFFFFF&
  Nothing1 = Nothing
End
