// ztButtons_H: the owner-drawn push button every window of the program uses. It paints itself in
// eight styles and nine shapes through an off-screen buffer, keeps its settings in its window's
// property store, and acts as a command button, a check box or an option button.
//
// One class, implemented by four folders:
//   button/model/        properties, defaults, setters, persistence, derived colours and font
//   button/geometry/     caption and picture layout, shapes and regions, pictures, resize/release
//   button/paint/        colour helpers and primitives, paint pipeline, caption, style renderers
//   button/interaction/  mouse and keyboard, hover tracking, check/option groups, custom click
//
// Conventions: 16-bit booleans are int16_t with True = -1 and False = 0 (setters take any
// non-zero value as True); colours are 32-bit, RGB or 0x800000nn for system colour nn; geometry is
// in client pixels.
#pragma once

#include <windows.h>

#include "button/paint/ColorHelpers.h"
#include "framework/DataObject.h"
#include "framework/Event.h"
#include "framework/PropertyBag.h"
#include "framework/StdFont.h"
#include "framework/StdPicture.h"
#include "framework/UserControl.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The control's enumerations. They live in their own namespace because several of their names
// (the Mode values CommandButton, CheckBox, OptionButton) are also names of the framework; the
// class brings every value into its own scope, so inside it and as ztButtons_H::StyleRounded they
// read as plain names.
namespace ztButtonsEnums {

enum ButtonStyle : int32_t {
  StyleClassic = 0,
  StyleFramed = 1,
  StyleRounded = 2,
  StyleEtched = 3,
  StyleThin = 4,
  StyleHotTrack = 5,
  StyleSoftBevel = 6,
  StyleInverse = 7,
};

enum Mode : int32_t {
  CommandButton = 0,
  CheckBox = 1,
  OptionButton = 2,
};

enum CaptionAlign : int32_t {
  AlignLeft = 0,
  AlignRight = 1,
  AlignCenter = 2,
};

enum CaptionStyle : int32_t {
  CaptionFlat = 0,
  CaptionSunken = 1,
  CaptionRaised = 2,
};

enum CustomClick : int32_t {
  NoMove = 0,
  MoveUp = 1,
  MoveUpRight = 2,
  MoveUpLeft = 3,
  MoveDownRight = 4,
  MoveDownLeft = 5,
  MoveRight = 6,
  MoveDown = 7,
  MoveLeft = 8,
};

enum ButtonShape : int32_t {
  ShapeRectangle = 0,
  ShapeSlantLeft = 1,
  ShapeSlantRight = 2,
  ShapeSlantBoth = 3,
  ShapeEllipse = 4,
  ShapeEllipse2 = 5,
  ShapeEllipseFramed = 6,
  ShapePictureFramed = 7,
  ShapePictureBeveled = 8,
};

enum PictureAlign : int32_t {
  PictureLeftEdge = 0,
  PictureLeftOfCaption = 1,
  PictureRightEdge = 2,
  PictureRightOfCaption = 3,
  PictureAboveCaption = 4,
  PictureBelowCaption = 5,
};

enum PictureSize : int32_t {
  Size16 = 0,
  Size24 = 1,
  Size32 = 2,
  SizeStretch = 3,
  SizeFit = 4,
};

enum GradientMode : int32_t {
  GradientNone = 0,
  GradientLeftToRight = 1,
  GradientRightToLeft = 2,
  GradientTopToBottom = 3,
  GradientBottomToTop = 4,
};

enum HoverColorLocks : int32_t {
  LockBoth = 0,
  LockForeOnly = 1,
  LockBackOnly = 2,
  LockNone = 3,
};

// Bits of the FontStyle property.
enum FontStyle : int32_t {
  FontBold = 2,
  FontItalic = 4,
  FontUnderline = 8,
};

// Bits of the StateFlags field.
enum StateFlagBits : int16_t {
  DefaultFrame = 0x0001,
  Pressed = 0x0002,
  PointerOver = 0x0004,
  Displaced = 0x0400,
};

// Actions of ToggleOptionGroup.
enum OptionGroupAction : int16_t {
  LeaveGroup = -1,
  ReleaseOthers = 0,
  JoinGroup = 1,
  QuerySelected = 2,
};

}  // namespace ztButtonsEnums

// Paint scratch data handed from RedrawButton through a style renderer: the 16 bevel points
// (index 0 to 15) and the 12 edge colours (index 1 to 12; index 0 is unused).
using EdgePointList = std::array<POINT, 16>;
using EdgeColorList = std::array<int32_t, 13>;

// The hover timer's callback: finds the control through its window's "zt_ClassID" property.
// Lives in button/interaction/ (the module modZtTimer).
void CALLBACK HoverTimerProc(HWND hWnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);
// The hover timer's identifier on the button's own window.
constexpr UINT_PTR HoverTimerID = 237;

class ztButtons_H : public UserControlHost {
 public:
  using enum ztButtonsEnums::ButtonStyle;
  using enum ztButtonsEnums::Mode;
  using enum ztButtonsEnums::CaptionAlign;
  using enum ztButtonsEnums::CaptionStyle;
  using enum ztButtonsEnums::CustomClick;
  using enum ztButtonsEnums::ButtonShape;
  using enum ztButtonsEnums::PictureAlign;
  using enum ztButtonsEnums::PictureSize;
  using enum ztButtonsEnums::GradientMode;
  using enum ztButtonsEnums::HoverColorLocks;
  using enum ztButtonsEnums::FontStyle;
  using enum ztButtonsEnums::StateFlagBits;
  using enum ztButtonsEnums::OptionGroupAction;

  ztButtons_H(Form* owner, std::string name);
  ~ztButtons_H() override;

  // ==== Public properties (button/model/) ====
  int32_t ButtonStyle() const;
  void setButtonStyle(int32_t Style);
  int32_t Mode() const;
  void setMode(int32_t nMode);
  std::string Caption() const;
  void setCaption(const std::string& sCaption);
  int32_t CaptionAlign() const;
  void setCaptionAlign(int32_t nAlign);
  int32_t CaptionStyle() const;
  void setCaptionStyle(int32_t nStyle);
  int32_t CustomClick() const;
  void setCustomClick(int32_t nOpt);
  int32_t ButtonShape() const;
  void setButtonShape(int32_t nShape);
  PictureRef Picture() const;
  void setPicture(PictureRef xPic);
  int32_t PictureAlign() const;
  void setPictureAlign(int32_t ImgAlign);
  // Hides Control::Enabled on purpose: the button's own setter keeps its region and look in step.
  int16_t Enabled() const;
  void setEnabled(int16_t bEnabled);
  int16_t ShowFocusRect() const;
  void setShowFocusRect(int16_t bShow);
  int16_t Value() const;
  void setValue(int16_t bValue);
  // Reading stores 16 as the picture box edge when none was set yet.
  int32_t PictureSize();
  void setPictureSize(int32_t nSize);
  int32_t MousePointer() const;
  // Outside -32768..32767 raises the overflow error (6) before anything changes.
  void setMousePointer(int32_t nPointer);
  PictureRef MouseIcon() const;
  void setMouseIcon(PictureRef nIcon);
  FontRef Font() const;
  void setFont(FontRef nFont);
  int32_t FontStyle() const;
  void setFontStyle(int32_t nStyle);
  OLE_COLOR ForeColor() const;
  void setForeColor(OLE_COLOR nColor);
  OLE_COLOR BackColor() const;
  void setBackColor(OLE_COLOR nColor);
  OLE_COLOR GradientColor() const;
  void setGradientColor(OLE_COLOR nColor);
  int32_t GradientMode() const;
  void setGradientMode(int32_t nOpt);
  int16_t ResetDefaultColors() const;
  void setResetDefaultColors(int16_t nDefault);
  int32_t HoverColorLocks() const;
  void setHoverColorLocks(int32_t nLock);
  OLE_COLOR HoverForeColor() const;
  void setHoverForeColor(OLE_COLOR nColor);
  OLE_COLOR HoverBackColor() const;
  void setHoverBackColor(OLE_COLOR nColor);
  HDC hDC() const;
  HWND hwnd() const;

  // ==== Public methods (button/model/) ====
  void Refresh();
  void DelayDrawing(int16_t bDelay);

  // ==== Events, in the control's declaration order; arguments by reference ====
  Event<int16_t, int16_t, float, float> MouseDown;  // Button, Shift, X, Y
  Event<int16_t, int16_t, float, float> MouseUp;
  Event<int16_t, int16_t, float, float> MouseMove;
  Event<int16_t, int16_t> KeyDown;                  // KeyCode, Shift
  Event<int16_t> KeyPress;                          // KeyAscii
  Event<int16_t, int16_t> KeyUp;                    // KeyCode, Shift
  Event<int16_t> MouseOnButton;                     // OnButton (16-bit boolean)
  Event<> Click;
  Event<int16_t> DoubleClick;                       // Button
  Event<int32_t> OLECompleteDrag;                   // Effect
  Event<DataObject, int32_t, int16_t, int16_t, float, float> OLEDragDrop;  // Data, Effect, Button, Shift, X, Y
  Event<DataObject, int32_t, int16_t, int16_t, float, float, int16_t> OLEDragOver;  // ... State
  Event<int32_t, int16_t> OLEGiveFeedback;          // Effect, DefaultCursors (16-bit boolean)
  Event<DataObject, int16_t> OLESetData;            // Data, DataFormat
  Event<DataObject, int32_t> OLEStartDrag;          // Data, AllowedEffects

  // ==== Host notifications ====
  // button/model/
  void UserControl_InitProperties() override;
  void UserControl_ReadProperties(PropertyBag& PropBag) override;
  void UserControl_WriteProperties(PropertyBag& PropBag) override;
  void UserControl_Show() override;
  // "BackColor" is handled in button/model/, "DisplayAsDefault" by DisplayAsDefaultChanged.
  void UserControl_AmbientChanged(const std::string& PropertyName) override;
  // button/geometry/
  void UserControl_Resize() override;
  void UserControl_Terminate() override;
  // button/paint/
  void UserControl_Paint() override;
  // button/interaction/
  void UserControl_MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y) override;
  void UserControl_MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y) override;
  void UserControl_MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y) override;
  void UserControl_Click() override;
  void UserControl_DblClick() override;
  void UserControl_KeyDown(int16_t& KeyCode, int16_t& Shift) override;
  void UserControl_KeyPress(int16_t& KeyAscii) override;
  void UserControl_KeyUp(int16_t& KeyCode, int16_t& Shift) override;
  void UserControl_AccessKeyPress(int16_t& KeyAscii) override;
  void UserControl_GotFocus() override;
  void UserControl_OLECompleteDrag(int32_t& Effect) override;
  void UserControl_OLEDragDrop(DataObject& Data, int32_t& Effect, int16_t& Button, int16_t& Shift,
                               float& X, float& Y) override;
  void UserControl_OLEDragOver(DataObject& Data, int32_t& Effect, int16_t& Button, int16_t& Shift,
                               float& X, float& Y, int16_t& State) override;
  void UserControl_OLEGiveFeedback(int32_t& Effect, bool& DefaultCursors) override;
  void UserControl_OLESetData(DataObject& Data, int16_t& DataFormat) override;
  void UserControl_OLEStartDrag(DataObject& Data, int32_t& AllowedEffects) override;

 private:
  friend void CALLBACK HoverTimerProc(HWND, UINT, UINT_PTR, DWORD);
  // Tests reach the working fields through a class of this name (tests only).
  friend class ztButtonsInspector;
  friend class ztButtonsRenderAccess;  // the ztbutton-render tool

  // ==== Stored properties: the fields behind the properties the control keeps itself ====
  struct StoredProperties {
    int32_t ButtonStyle = 0;
    int32_t Mode = 0;
    std::string Caption;
    int32_t CaptionAlign = 0;
    int32_t CaptionStyle = 0;
    int32_t CustomClick = 0;
    int32_t ButtonShape = 0;
    PictureRef Picture;
    int32_t PictureAlign = 0;
    int16_t ShowFocusRect = 0;
    int16_t Value = 0;
    OLE_COLOR BackColor = 0;
    OLE_COLOR GradientColor = 0;
    int32_t GradientMode = 0;
    int32_t HoverColorLocks = 0;
    OLE_COLOR HoverForeColor = 0;
    OLE_COLOR HoverBackColor = 0;
  };
  StoredProperties stored;

  // ==== Working fields ====
  // Off-screen buffer and what it held before (owned: released by UserControl_Terminate).
  HDC BufferDC = nullptr;
  HBITMAP OldBitmap = nullptr;
  HPEN OldPen = nullptr;
  HBRUSH OldBrush = nullptr;
  HFONT OldFont = nullptr;
  // One and two pixels inside the outline of round and picture-shaped buttons (owned).
  HRGN OuterClipRegion = nullptr;
  HRGN InnerClipRegion = nullptr;
  int16_t StateFlags = 0;  // DefaultFrame | Pressed | PointerOver | Displaced
  int32_t LeftSlantWidth = 0;
  int32_t RightSlantStart = 0;
  RECT CaptionRect{0, 0, 0, 0};
  RECT PictureRect{0, 0, 0, 0};
  HBITMAP ScaledPicture = nullptr;  // owned
  int32_t ScaledPictureWidth = 0;
  int32_t ScaledPictureHeight = 0;
  int16_t PictureSizePixels = 0;  // 0 in a new control, taken as 16
  int32_t PictureWidth = 0;
  int32_t PictureHeight = 0;
  int32_t PictureIsIcon = 0;
  int16_t DrawingDelayed = 0;
  // Face colours derived from the stored colours, always RGB.
  int32_t FaceColor = 0;
  int32_t PressedFaceColor = 0;
  int32_t HoverFaceColor = 0;
  int32_t CheckedFaceColor = 0;
  int32_t ParentBackColor = 0;
  int16_t LastButton = 0;
  int16_t Hovering = 0;
  int16_t HeldDown = 0;
  // The CustomClick direction the window was moved by while Displaced is set (button/interaction/).
  int32_t DisplacedDirection = 0;

  // ==== button/model/ ====
  // Which: "Font", "Picture" or "BackColor" (any case); anything else does nothing.
  void PrepareFontAndColors(const std::string& Which);
  // The container window's handle, as decimal text in the surface's Tag.
  void StoreContainerInTag();
  // The lock bits of HoverColorLocks.
  bool ForeLockOn() const;
  bool BackLockOn() const;
  // Shows a design-time information message; nothing at run time.
  void DesignTimeMessage(const std::string& Text);
  // TranslateColor and ShadeColor are free functions (button/paint/ColorHelpers.h).

  // ==== button/geometry/ ====
  // Places CaptionRect and PictureRect; rebuilds the scaled picture when RebuildPicture is True.
  void CalcCaptionLayout(int16_t& RebuildPicture);
  void FitPictureToBox(int32_t BoxWidth, int32_t BoxHeight, int32_t& FitWidth, int32_t& FitHeight);
  void CreateButtonRegion();
  void FrameShapedButton(int16_t& Inset);
  void PrepareScaledPicture(int32_t Width, int32_t Height, HRGN& Region);
  void DrawTransparentBitmap(HDC DestDC, const RECT& DestRect, HBITMAP Bitmap, RECT& SourceRect,
                             int32_t KeyColour, int32_t& DrawWidth, int32_t& DrawHeight);
  void DrawButtonPicture(RECT& Rect);

  // ==== button/paint/ ====
  void SetDrawingTools(int16_t Select, HDC hDC = nullptr, int32_t ToolKind = 0, int32_t Color = 0,
                       int16_t AlsoPen = 0, int32_t PenWidth = 1, int32_t PenStyle = PS_SOLID);
  void DrawRect(HDC hDC, int32_t Left, int32_t Top, int32_t Right, int32_t Bottom, int32_t FillColor);
  void DrawBevelEdges(EdgePointList& EdgePoints, const EdgeColorList& EdgeColors, int32_t OuterPenStyle);
  void FillButtonFace(int32_t FaceColor, int16_t& PaintState, int16_t& Inset, int32_t& GradientTo,
                      int32_t& HoverColor);
  void DrawGradient(int32_t FromColor, int32_t ToColor);
  void BuildGradientColors(std::vector<int32_t>& Colors, int32_t FromColor, int32_t ToColor);
  void RedrawButton();
  void CreateBackBuffer(int16_t Create);
  void DrawCaption(int32_t Face, int32_t TextColor, int16_t Sunken, int16_t& NoEtch);
  void DrawFocusRectangle(int32_t& Color, int16_t Solid, int16_t& AroundCaption,
                          EdgePointList& EdgePoints);
  // The opening of the raised styles: face (the set face while set), face fill, caption; false
  // when nothing may be painted now. FocusColor comes back as the caption colour.
  bool PaintFaceAndCaption(int32_t& Face, int32_t& FocusColor, int16_t& PaintState, int16_t& Inset);
  // Framed and thin: sunken (PaintState 2) while set, held as a check or option button, or pushed
  // in; raised (PaintState 1) otherwise. Slanted shapes mark the focus in the face darkened by 48.
  bool SunkenWhileSetOrPushed(int32_t Face, int32_t& FocusColor, int16_t& PaintState);
  // Black frame for framed ellipses under the pointer or pressed and for picture shapes; else none.
  void ChooseShapedFrame(EdgeColorList& EdgeColors, int16_t& Inset);
  void DrawStyleClassic(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                        int16_t& Inset);
  void DrawStyleFramed(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                       int16_t& Inset);
  void DrawStyleRounded(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                        int16_t& Inset);
  void DrawStyleEtched(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                       int16_t& Inset);
  void DrawStyleThin(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                     int16_t& Inset);
  void DrawStyleHotTrack(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                         int16_t& Inset);
  void DrawStyleSoftBevel(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                          int16_t& Inset);
  void DrawStyleInverse(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                        int16_t& Inset);

  // ==== button/interaction/ ====
  // The ambient "DisplayAsDefault" rule (UserControl_AmbientChanged hands it over).
  void DisplayAsDefaultChanged();
  // Hover start, run by the mouse-move handler before its event; errors end it quietly.
  void BeginHover(int16_t Button);
  void CheckHoverExit(int32_t& TimerID);
  void ToggleOptionGroup(int16_t& Action, int16_t& Result);
  void MoveForCustomClick(int16_t& Moved);
};
