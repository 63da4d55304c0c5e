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
   Begin CommandButton ztButtons_H1
      Caption = "&Ok"
      Left = 2640
      Top = 1440
      Width = 915
      Height = 375
      TabIndex = 1
   End
   Begin CommandButton ztButtons_H2
      Caption = "&Info..."
      Left = 3660
      Top = 1440
      Width = 915
      Height = 375
      TabIndex = 2
   End
End
