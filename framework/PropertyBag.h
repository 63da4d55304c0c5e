// The property store a user control writes its settings to and reads them back from. Keys are
// matched without regard to case and kept in lower case, in the order they were first written.
#pragma once

#include "framework/PropertyValue.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

class PropertyBag {
 public:
  // Stores the value unless a default is given and the value equals it (then any earlier entry
  // under the key goes too, so the store always says what the last write said).
  void WriteProperty(const std::string& key, const PropertyValue& value);
  void WriteProperty(const std::string& key, const PropertyValue& value,
                     const PropertyValue& defaultValue);
  // The stored value, else the default; without a default an absent key reads as empty.
  PropertyValue ReadProperty(const std::string& key) const;
  PropertyValue ReadProperty(const std::string& key, const PropertyValue& defaultValue) const;

  bool contains(const std::string& key) const;
  void remove(const std::string& key);
  void clear() { entries_.clear(); }
  // The host's own entries (the extent keys) are set through here without any default rule.
  void set(const std::string& key, const PropertyValue& value);

  const std::vector<std::pair<std::string, PropertyValue>>& entries() const { return entries_; }
  size_t size() const { return entries_.size(); }

  static std::string foldKey(const std::string& key);

 private:
  const PropertyValue* find(const std::string& foldedKey) const;
  std::vector<std::pair<std::string, PropertyValue>> entries_;
};
