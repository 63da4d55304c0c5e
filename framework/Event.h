// Events a control raises to the window that holds it. A window connects its handler (for
// example a lambda that calls ztButtons_H1_Click) and RaiseEvent calls every connected handler
// before it returns. Arguments go by reference, so a handler may change them for the raiser.
#pragma once

#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

template <typename... Args>
class Event {
 public:
  using Handler = std::function<void(Args&...)>;

  void connect(Handler handler) { handlers_.push_back(std::move(handler)); }
  void disconnectAll() { handlers_.clear(); }
  bool connected() const { return !handlers_.empty(); }

  void raise(Args&... args) const {
    // A handler may connect more handlers; those wait for the next raise.
    auto handlers = handlers_;
    for (auto& h : handlers) h(args...);
  }

 private:
  std::vector<Handler> handlers_;
};

template <typename... Args>
void RaiseEvent(const Event<Args...>& event, std::type_identity_t<Args>&... args) {
  event.raise(args...);
}
