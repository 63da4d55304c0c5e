#include "core/Module1.h"

#include <windows.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "forms/frmAbout.h"
#include "forms/frmAttendere.h"
#include "forms/frmFine.h"
#include "framework/App.h"
#include "framework/RuntimeError.h"

namespace {

constexpr DWORD kMessageBufferLength = 2560;
constexpr int kFlushCount = 5;

constexpr int kExitSuccess = 0;
constexpr int kExitOtherResult = 1;

struct FlushOutcome {
  std::string text;
  bool succeeded;  // opened, and the close left 0: the text is the system's word for success
};

// The open and flush calls take the device path built from the argument; the last-error value is
// read right after the open and right after the close, never the calls' own results.
FlushOutcome FlushVolume(const std::string& argument) {
  const std::string devicePath = "\\\\.\\" + argument.substr(0, 2);
  HANDLE volume = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, OPEN_ALWAYS, FILE_FLAG_NO_BUFFERING, nullptr);
  const int32_t openCode = static_cast<int32_t>(GetLastError());
  if (volume == INVALID_HANDLE_VALUE)
    return {"Error: " + std::to_string(openCode) + ":\r\n" + SystemErrorText(openCode), false};

  for (int i = 0; i < kFlushCount; ++i) FlushFileBuffers(volume);
  CloseHandle(volume);
  const int32_t closeCode = static_cast<int32_t>(GetLastError());
  return {SystemErrorText(closeCode), closeCode == 0};
}

// Where memory cannot be had for the result window, the outcome is told all the same: in a message
// box, or without memory for that either, on standard error.
void TellOutcomeAnyway(const std::string& text) {
  int answer = 0;
  try {
    answer = MsgBox(text, vbOKOnly);
  } catch (const std::bad_alloc&) {
  }
  if (answer != 0) return;
  size_t length = text.size();
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) --length;
  std::fprintf(stderr, "corvane: %.*s\n", static_cast<int>(length), text.c_str());
}

void ShowOutcome(const std::string& text) {
  try {
    // The result text goes into the result window before anything else touches the platform,
    // since loading that window makes platform calls of its own.
    frmFine->Text1.setText(text);
    DoEvents();

    frmAttendere->setVisible(false);
    DoEvents();

    frmFine->Show(vbModal);
  } catch (const std::bad_alloc&) {
    TellOutcomeAnyway(text);
  } catch (const RuntimeError& error) {
    if (error.Number != ErrOutOfMemory) throw;
    TellOutcomeAnyway(text);
  }
}

}  // namespace

std::string SystemErrorText(int32_t code) {
  std::vector<char> buffer(kMessageBufferLength, '\0');
  DWORD count = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               static_cast<DWORD>(code), 0, buffer.data(), kMessageBufferLength,
                               nullptr);
  return count > 0 ? std::string(buffer.data(), count) : std::string();
}

int RunFlushSequence() {
  frmAttendere->Inizio();
  DoEvents();

  const FlushOutcome outcome = FlushVolume(Command());
  ShowOutcome(outcome.text);

  frmAbout.Unload();
  frmAttendere.Unload();
  frmFine.Unload();
  frmAbout.Release();
  frmAttendere.Release();
  frmFine.Release();
  return outcome.succeeded ? kExitSuccess : kExitOtherResult;
}

void Main() {
  End(RunFlushSequence());
}
