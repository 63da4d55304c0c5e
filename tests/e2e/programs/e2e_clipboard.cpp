// Clipboard through the X server, driven by x11_clipboard.sh: puts a Windows-1252 text with CR LF
// lines on the clipboard and serves it, then waits until another program has put the expected
// text there and reads it back. Exits 0 when the text read is exactly the expected one.
//
// Usage: e2e_clipboard [SECONDS]
//        e2e_clipboard --large LINES SECONDS
// The second form offers LINES numbered lines ("%08d" and CR LF each), for a text too long to
// go in one piece, and then waits to read back the same lines followed by "end" from another
// owner (exit 0).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// What this program offers: a euro sign, e acute, curly quotes and two lines.
const char kOffered[] = "Corvane \x80 caf\xE9 \x93quoted\x94\r\nsecond line";
// What the script puts on the clipboard (in UTF-8), as this program must read it.
const char kExpected[] = "from xclip: na\xEFve \x96 ok\r\nline two\r\n";

bool putText(const char* text) {
  const size_t size = std::strlen(text) + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (memory == nullptr) return false;
  std::memcpy(GlobalLock(memory), text, size);
  GlobalUnlock(memory);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
  if (!placed) GlobalFree(memory);
  CloseClipboard();
  return placed;
}

bool readText(std::string& text) {
  if (!OpenClipboard(nullptr)) return false;
  bool found = false;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      text = p;
      found = true;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return found;
}

void printEscaped(const char* label, const std::string& text) {
  std::printf("%s: \"", label);
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      std::putchar(c);
    } else {
      std::printf("\\x%02X", c);
    }
  }
  std::printf("\"\n");
  std::fflush(stdout);
}

}  // namespace

int serveLarge(int lines, DWORD seconds) {
  std::string text;
  text.reserve(static_cast<size_t>(lines) * 10);
  char line[16];
  for (int i = 0; i < lines; ++i) {
    std::snprintf(line, sizeof line, "%08d\r\n", i);
    text += line;
  }
  if (!putText(text.c_str())) {
    std::printf("could not put %zu bytes on the clipboard\n", text.size());
    return 1;
  }
  std::printf("serving %zu bytes\n", text.size());
  std::fflush(stdout);
  SetTimer(nullptr, 0, 100, nullptr);
  const DWORD deadline = GetTickCount() + seconds * 1000;
  MSG msg;
  const std::string expected = text + "end\r\n";
  while (GetTickCount() < deadline && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    DispatchMessageA(&msg);
    if (msg.message != WM_TIMER) continue;
    std::string read;
    if (readText(read) && read == expected) {
      std::printf("read back %zu bytes\n", read.size());
      return 0;
    }
  }
  std::printf("did not read the lines back\n");
  return 1;
}

int main(int argc, char** argv) {
  if (argc > 3 && std::string(argv[1]) == "--large") {
    return serveLarge(std::atoi(argv[2]), static_cast<DWORD>(std::atoi(argv[3])));
  }
  const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 30;
  if (!putText(kOffered)) {
    std::printf("could not put the text on the clipboard: %lu\n",
                static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  std::printf("serving\n");
  std::fflush(stdout);

  // The message loop serves the text; every tick looks whether someone else replaced it.
  SetTimer(nullptr, 0, 100, nullptr);
  const DWORD deadline = GetTickCount() + seconds * 1000;
  std::string last;
  MSG msg;
  while (GetTickCount() < deadline && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    DispatchMessageA(&msg);
    if (msg.message != WM_TIMER) continue;
    std::string text;
    if (!readText(text) || text == kOffered) continue;
    if (text == kExpected) {
      printEscaped("read", text);
      return 0;
    }
    if (text != last) printEscaped("read something else", text);
    last = text;
  }
  printEscaped("gave up; last read", last);
  return 1;
}
