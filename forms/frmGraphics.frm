Begin Form frmGraphics
   BorderStyle = 0
   Caption = ""
   ClientLeft = -15
   ClientTop = -15
   ClientWidth = 0
   ClientHeight = 0
   AutoRedraw = True
End
