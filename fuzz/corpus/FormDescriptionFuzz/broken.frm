Begin Form f
 Begin Label l
  Caption = "x
 End
End
