#include "button/model/CaptionLines.h"

std::string captionLines(const std::string& caption) {
  std::string text;
  text.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '|' && i + 1 < caption.size() && caption[i + 1] == '|') {
      text += "\r\n";
      ++i;
    } else {
      text += caption[i];
    }
  }
  return text;
}
