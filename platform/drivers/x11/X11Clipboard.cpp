// One X selection. Lines end in LF on the desktop and CR LF in the program; text beyond a quarter
// of the server's maximum request goes in INCR pieces of that size, and a piece the requestor has
// not asked for within ten seconds ends its transfer. A clipboard manager is asked to keep the
// text in both forms this process serves (UTF8_STRING and STRING).
#include "drivers/x11/X11Clipboard.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "drivers/x11/Windows1252.h"

namespace x11 {

namespace {

struct Wanted {
  ::Window window;
  int type;
  Atom atom;
};

Bool matches(Display*, XEvent* event, XPointer arg) {
  const auto* wanted = reinterpret_cast<const Wanted*>(arg);
  if (event->type != wanted->type) return False;
  if (event->type == SelectionNotify) {
    return event->xselection.requestor == wanted->window && event->xselection.target == wanted->atom;
  }
  if (event->type == PropertyNotify) {
    return event->xproperty.window == wanted->window && event->xproperty.atom == wanted->atom &&
           event->xproperty.state == PropertyNewValue;
  }
  return False;
}

// CF_TEXT ends at its first NUL.
std::string untilNul(std::string text) {
  const size_t end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  return text;
}

// The largest piece of text sent in one request: a quarter of the largest request, so that a
// server without BIG-REQUESTS (256 KiB requests) still takes it.
size_t pieceSize(Display* display) {
  long limit = XExtendedMaxRequestSize(display);
  if (limit == 0) limit = XMaxRequestSize(display);
  return static_cast<size_t>(limit);  // in 4-byte units: a quarter of the bytes
}

bool latin1Only(std::string_view text) {
  for (char c : text) {
    if (codePointOf1252(static_cast<unsigned char>(c)) > 0xFF) return false;
  }
  return true;
}

}  // namespace

Clipboard::Clipboard(Connection& connection, ::Window window, Atom selection,
                     std::function<bool(std::string&)> provide, std::function<void()> lost)
    : connection_(connection), display_(connection.display()), window_(window),
      selection_(selection), provide_(std::move(provide)), lost_(std::move(lost)) {}

bool Clipboard::waitFor(int type, Atom atom, XEvent& out, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  Wanted wanted{window_, type, atom};
  for (;;) {
    XEvent request;
    while (XCheckTypedWindowEvent(display_, window_, SelectionRequest, &request)) {
      serve(request.xselectionrequest);
    }
    if (XCheckIfEvent(display_, &out, matches, reinterpret_cast<XPointer>(&wanted))) return true;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd fd{connection_.fd(), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left));
    XEventsQueued(display_, QueuedAfterReading);
  }
}

Time Clipboard::serverTime() {
  XChangeProperty(display_, window_, connection_.atoms().corvaneTime, XA_STRING, 8,
                  PropModeAppend, nullptr, 0);
  XEvent event;
  if (waitFor(PropertyNotify, connection_.atoms().corvaneTime, event, 1000)) {
    return event.xproperty.time;
  }
  return CurrentTime;
}

bool Clipboard::claim() {
  const Time time = serverTime();
  XSetSelectionOwner(display_, selection_, window_, time);
  owns_ = XGetSelectionOwner(display_, selection_) == window_;
  if (owns_) ownedSince_ = time;
  return owns_;
}

void Clipboard::release() {
  if (!owns_) return;
  owns_ = false;
  if (XGetSelectionOwner(display_, selection_) == window_) {
    XSetSelectionOwner(display_, selection_, None, serverTime());
  }
}

bool Clipboard::handOver(int timeoutMs) {
  const Atoms& a = connection_.atoms();
  if (!owns_ || XGetSelectionOwner(display_, a.clipboardManager) == None) return false;
  const Atom kept[] = {a.utf8String, a.string};
  XChangeProperty(display_, window_, a.corvaneSelection, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(kept), 2);
  XConvertSelection(display_, a.clipboardManager, a.saveTargets, a.corvaneSelection, window_,
                    ownedSince_);
  XEvent event;
  return waitFor(SelectionNotify, a.saveTargets, event, timeoutMs) &&
         event.xselection.property != None;
}

void Clipboard::serve(const XSelectionRequestEvent& request) {
  const Atoms& a = connection_.atoms();
  // Clients older than ICCCM 2 send no property: the target names it.
  const Atom property = request.property != None ? request.property : request.target;
  bool answered = false;
  if (owns_ && request.selection == selection_ &&
      (request.time == CurrentTime || ownedSince_ == CurrentTime || request.time >= ownedSince_)) {
    if (request.target == a.targets) {
      const Atom targets[] = {a.targets, a.timestamp, a.utf8String, a.string, a.text};
      XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(targets), 5);
      answered = true;
    } else if (request.target == a.timestamp) {
      const long time = static_cast<long>(ownedSince_);
      XChangeProperty(display_, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&time), 1);
      answered = true;
    } else if (request.target == a.utf8String || request.target == a.string ||
               request.target == a.text) {
      std::string text;
      if (provide_ && provide_(text)) {
        text = lfFromCrLf(untilNul(std::move(text)));
        // TEXT lets the owner choose: STRING when Latin-1 can hold the text.
        const bool asString =
            request.target == a.string || (request.target == a.text && latin1Only(text));
        const std::string bytes = asString ? latin1From1252(text) : utf8From1252(text);
        const Atom type = asString ? a.string : a.utf8String;
        ErrorTrap trap(display_);
        if (bytes.size() <= pieceSize(display_)) {
          XChangeProperty(display_, request.requestor, property, type, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(bytes.data()),
                          static_cast<int>(bytes.size()));
        } else {
          XSelectInput(display_, request.requestor, PropertyChangeMask);
          const long size = static_cast<long>(bytes.size());
          XChangeProperty(display_, request.requestor, property, a.incr, 32, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(&size), 1);
          dropStaleTransfers();
          transfers_.push_back(Transfer{request.requestor, property, type, bytes, 0, false,
                                        std::chrono::steady_clock::now()});
        }
        answered = !trap.failed();
        if (!answered && !transfers_.empty() && transfers_.back().requestor == request.requestor) {
          transfers_.pop_back();
        }
      }
    }
  }
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = display_;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.property = answered ? property : None;
  reply.xselection.time = request.time;
  ErrorTrap trap(display_);  // the requestor may be gone already
  XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
}

void Clipboard::dropStaleTransfers() {
  const auto now = std::chrono::steady_clock::now();
  std::erase_if(transfers_, [now](const Transfer& t) {
    return now - t.lastActivity > std::chrono::seconds(10);
  });
}

bool Clipboard::continueTransfer(const XPropertyEvent& event) {
  if (event.state != PropertyDelete) return false;
  for (auto it = transfers_.begin(); it != transfers_.end(); ++it) {
    if (it->requestor != event.window || it->property != event.atom) continue;
    ErrorTrap trap(display_);
    if (it->ended) {
      XSelectInput(display_, it->requestor, NoEventMask);
      transfers_.erase(it);
      return true;
    }
    const size_t piece = std::min(pieceSize(display_), it->bytes.size() - it->sent);
    XChangeProperty(display_, it->requestor, it->property, it->type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(it->bytes.data() + it->sent),
                    static_cast<int>(piece));
    it->sent += piece;
    it->ended = piece == 0;
    it->lastActivity = std::chrono::steady_clock::now();
    // A requestor that went away ends its transfer.
    if (trap.failed()) transfers_.erase(it);
    return true;
  }
  return false;
}

bool Clipboard::handle(XEvent& event) {
  if (event.type == PropertyNotify && event.xproperty.window != window_) {
    return continueTransfer(event.xproperty);
  }
  switch (event.type) {
    case SelectionRequest:
      if (event.xselectionrequest.owner != window_) return false;
      serve(event.xselectionrequest);
      return true;
    case SelectionClear:
      if (event.xselectionclear.window != window_) return false;
      if (event.xselectionclear.selection == selection_ && owns_) {
        owns_ = false;
        if (lost_) lost_();
      }
      return true;
    case SelectionNotify:
      // A late answer to a conversion we gave up on.
      return event.xselection.requestor == window_;
    case PropertyNotify:
      return event.xproperty.window == window_;
    default:
      return false;
  }
}

bool Clipboard::readProperty(Atom property, std::string& bytes, Atom& type) {
  bytes.clear();
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display_, window_, property, 0, 0x1FFFFFFF, True, AnyPropertyType, &type,
                         &format, &count, &after, &data) != Success) {
    return false;
  }
  if (data != nullptr) {
    if (format == 8) bytes.assign(reinterpret_cast<const char*>(data), count);
    XFree(data);
  }
  return type != None;
}

bool Clipboard::convert(Atom target, std::string& bytes, int timeoutMs) {
  const Atoms& a = connection_.atoms();
  XDeleteProperty(display_, window_, a.corvaneSelection);
  XConvertSelection(display_, selection_, target, a.corvaneSelection, window_, CurrentTime);
  XEvent event;
  if (!waitFor(SelectionNotify, target, event, timeoutMs)) return false;
  if (event.xselection.property == None) return false;
  Atom type = None;
  if (!readProperty(a.corvaneSelection, bytes, type)) return false;
  if (type != a.incr) return true;
  // INCR: each chunk arrives as a new value of the property, which we delete to ask for the next;
  // an empty chunk ends the transfer.
  std::string text;
  for (;;) {
    if (!waitFor(PropertyNotify, a.corvaneSelection, event, timeoutMs)) return false;
    std::string chunk;
    if (!readProperty(a.corvaneSelection, chunk, type)) continue;
    if (chunk.empty()) break;
    text += chunk;
  }
  bytes = std::move(text);
  return true;
}

bool Clipboard::readForeign(std::string& text, int timeoutMs) {
  const Atoms& a = connection_.atoms();
  const ::Window owner = XGetSelectionOwner(display_, selection_);
  if (owner == None || owner == window_) return false;
  std::string bytes;
  if (convert(a.utf8String, bytes, timeoutMs)) {
    text = crLfFromLf(cp1252FromUtf8(bytes));
    return true;
  }
  if (convert(a.string, bytes, timeoutMs)) {
    text = crLfFromLf(cp1252FromLatin1(bytes));
    return true;
  }
  return false;
}

}  // namespace x11
