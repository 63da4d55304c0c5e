// Application services the program's windows and start-up code use: the application object, the
// command line, the screen, yielding to the window system, message boxes, random numbers, End.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

// Scale modes for ScaleX/ScaleY and ScaleMode properties.
constexpr int16_t vbUser = 0;
constexpr int16_t vbTwips = 1;
constexpr int16_t vbPoints = 2;
constexpr int16_t vbPixels = 3;
constexpr int16_t vbCharacters = 4;
constexpr int16_t vbInches = 5;
constexpr int16_t vbMillimeters = 6;
constexpr int16_t vbCentimeters = 7;
constexpr int16_t vbHimetric = 8;

// Message box styles and answers.
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbYesNo = 4;
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
constexpr int vbOK = 1;
constexpr int vbCancel = 2;

class AppObject {
 public:
  // The folder of the executable as a Unix path, without a trailing separator (except "/").
  std::string Path() const;
  std::string EXEName() const;
  std::string Title = "Corvane";
  int16_t Major() const;
  int16_t Minor() const;
  int16_t Revision() const;
};
extern AppObject App;

// The arguments after the program's own name, joined by single blanks, as given.
std::string Command();
// The same from a whole command line: the program's name (quoted or up to the first blank) and
// the blanks after it go, the rest stays exactly as it was given.
std::string ArgumentsAfterProgramName(const std::string& commandLine);

class ScreenObject {
 public:
  float Width() const;   // twips
  float Height() const;  // twips
  float TwipsPerPixelX() const { return 15.0f; }
  float TwipsPerPixelY() const { return 15.0f; }
};
extern ScreenObject Screen;

// Converts between scale modes (vbTwips, vbPixels, vbHimetric, vbPoints ...), 96 dots per inch.
double ConvertScale(double value, int16_t fromScale, int16_t toScale);

// Processes every pending message (input, paints, due timers), then returns.
void DoEvents();

// A modal message box with the application's title unless one is given. Returns the answer
// (vbOK ...). A hook, when set, receives the box instead of the screen (tests, design tools).
int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = {});
using MsgBoxHook = std::function<int(const std::string& prompt, int buttons, const std::string& title)>;
void SetMsgBoxHook(MsgBoxHook hook);

// Seeds the generator from the clock.
void Randomize();
// Seeds with a given number, for repeatable runs.
void Randomize(double seed);
// A uniform single-precision number r with 0 <= r < 1.
float Rnd();

// The run-time error box for an error nobody caught: "Run-time error '<number>':" and the
// description, with the application's title. Other C++ exceptions show as error 440.
void ReportRunTimeError(const std::exception& error);

// Ends the process at once with the exit status given: no unload step, no further events.
[[noreturn]] void End(int exitStatus = 0);
