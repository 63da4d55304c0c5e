// The data carried by the drag-and-drop events: formats, each with its bytes. Programs raise the
// events themselves; there is no drag engine behind them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class DataObject {
 public:
  void Clear() { data_.clear(); }
  bool GetFormat(int16_t format) const { return data_.count(format) != 0; }
  void SetData(const std::string& text, int16_t format = 1) {
    data_[format] = std::vector<uint8_t>(text.begin(), text.end());
  }
  std::string GetData(int16_t format = 1) const {
    auto it = data_.find(format);
    return it == data_.end() ? std::string() : std::string(it->second.begin(), it->second.end());
  }

 private:
  std::map<int16_t, std::vector<uint8_t>> data_;
};
