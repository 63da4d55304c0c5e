Begin Form frmFine
   Caption = "Corvane"
   ClientWidth = 4680
   ClientHeight = 1860
   StartUpPosition = 2
   Begin TextBox Text1
      Text = "Error: 2:" & vbCrLf & "The system cannot find the file specified."
      BackColor = &H8000000F&
      TabIndex = 0
   End
   Begin ztButtons_H ztButtons_H1
      Left = 2640
      TabIndex = 1
      _extentx = 1614
      _extenty = 661
      caption = "&Ok"
      backstyle = 2
      imgsize = 48%
      value = False
      BeginProperty font StdFont
         Name = "MS Sans Serif"
         Size = 8.25
         Charset = 0
         Weight = 400
         Underline = False
         Italic = False
         Strikethrough = False
      EndProperty
   End
End
