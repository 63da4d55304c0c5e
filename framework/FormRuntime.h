// What the files of the window runtime share: every window by its handle, and the loaded windows
// in the order they loaded.
#pragma once

#include <windows.h>

#include "framework/Form.h"

#include <map>
#include <string>
#include <vector>

namespace formruntime {

std::map<HWND, Form*>& windows();
std::vector<Form*>& loaded();
// Names of windows, controls and kinds match without regard to case.
bool iequal(const std::string& a, const std::string& b);

}  // namespace formruntime
