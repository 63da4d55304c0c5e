// An X selection of this process, the CLIPBOARD or PRIMARY (the selected text): it serves its text
// to other programs as UTF8_STRING, STRING and TEXT (with TARGETS and TIMESTAMP), reads the text
// another program owns, and hands its text to a clipboard manager (SAVE_TARGETS).
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "drivers/x11/X11Connection.h"

namespace x11 {

class Clipboard {
 public:
  // window: an unmapped window of ours that selects PropertyChangeMask, used for this selection
  // alone. provide fills in the process's CF_TEXT text (false: it holds none); lost tells that
  // another program took over.
  Clipboard(Connection& connection, ::Window window, Atom selection,
            std::function<bool(std::string&)> provide, std::function<void()> lost);

  // Takes the ownership of the selection; false when the server refused it.
  bool claim();
  // Gives the ownership up, if this process has it.
  void release();
  // Asks the clipboard manager, if one runs, to keep the text after this process is gone, and
  // serves it the text meanwhile; false when there is no manager, nothing owned, or the manager
  // did not say it kept the text within timeoutMs.
  bool handOver(int timeoutMs);
  bool owns() const { return owns_; }
  // The text of another owner as CF_TEXT (CR LF, Windows-1252); false when nobody else owns the
  // selection, the owner offers no text, or it does not answer within timeoutMs.
  bool readForeign(std::string& text, int timeoutMs);

  // Handles the selection events; false for events that are not about the clipboard.
  bool handle(XEvent& event);

  // A current server time, from a property change on our window (ICCCM forbids CurrentTime for
  // taking a selection).
  Time serverTime();

 private:
  void serve(const XSelectionRequestEvent& request);
  // Text too long for one request goes in pieces (INCR): each time the requestor deletes the
  // property it gets the next piece, and an empty piece ends the transfer.
  struct Transfer {
    ::Window requestor;
    Atom property;
    Atom type;
    std::string bytes;
    size_t sent = 0;
    bool ended = false;
    std::chrono::steady_clock::time_point lastActivity;
  };
  bool continueTransfer(const XPropertyEvent& event);
  void dropStaleTransfers();
  // Waits for an event of our window that matches; serves selection requests meanwhile.
  bool waitFor(int type, Atom atom, XEvent& out, int timeoutMs);
  bool readProperty(Atom property, std::string& bytes, Atom& type);
  bool convert(Atom target, std::string& bytes, int timeoutMs);

  Connection& connection_;
  Display* display_;
  ::Window window_;
  Atom selection_;
  std::function<bool(std::string&)> provide_;
  std::function<void()> lost_;
  std::vector<Transfer> transfers_;
  bool owns_ = false;
  Time ownedSince_ = CurrentTime;
};

}  // namespace x11
