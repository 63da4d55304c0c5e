Begin Form frmFine
   Caption = "Corvane"
   ClientWidth = 4680
   ClientHeight = 1860
   StartUpPosition = 2
   Begin TextBox Text1
      Left = 60
      Top = 120
      Width = 4515
      Height = 1275
      TabIndex = 0
      MultiLine = True
      BackColor = &H8000000F&
      Text = "Text1"
   End
   Begin Corvane.ztButtons_H ztButtons_H1
      Left = 2640
      Top = 1440
      Width = 915
      Height = 375
      TabIndex = 1
      _extentx = 1614
      _extenty = 661
      caption = "&Ok"
      capalign = 2
      backstyle = 2
      BeginProperty font StdFont
         Name = "MS Sans Serif"
         Size = 8.25
         Charset = 0
         Weight = 400
         Underline = False
         Italic = False
         Strikethrough = False
      EndProperty
      cgradient = 0
      mode = 0
      value = False
      cback = &H8000000F&
   End
   Begin Corvane.ztButtons_H ztButtons_H2
      Left = 3660
      Top = 1440
      Width = 915
      Height = 375
      TabIndex = 2
      _extentx = 1614
      _extenty = 661
      caption = "&Info..."
      capalign = 2
      backstyle = 2
      BeginProperty font StdFont
         Name = "MS Sans Serif"
         Size = 8.25
         Charset = 0
         Weight = 400
         Underline = False
         Italic = False
         Strikethrough = False
      EndProperty
      cgradient = 0
      mode = 0
      value = False
      cback = &H8000000F&
   End
End
