// The caption as the layout measures it and the paint draws it: one text for both, so the
// caption is always drawn in exactly the room it was given.
#pragma once

#include <string>

// The caption with every "||", scanned from the start, turned into a CR LF line break.
std::string captionLines(const std::string& caption);
