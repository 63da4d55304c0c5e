Begin Form frmAttendere
   Caption = ""
   BorderStyle = 0
   ClientWidth = 3735
   ClientHeight = 840
   StartUpPosition = 2
   Begin Animation Animation1
      Left = 0
      Top = 0
      Width = 3776
      Height = 864
      BackColor = &H8000000F&
      _extentx = 6660
      _extenty = 1535
   End
End
