#include "framework/PropertyBag.h"

#include <algorithm>
#include <cctype>

std::string PropertyBag::foldKey(const std::string& key) {
  std::string folded = key;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

const PropertyValue* PropertyBag::find(const std::string& foldedKey) const {
  for (const auto& entry : entries_)
    if (entry.first == foldedKey) return &entry.second;
  return nullptr;
}

void PropertyBag::set(const std::string& key, const PropertyValue& value) {
  std::string folded = foldKey(key);
  for (auto& entry : entries_) {
    if (entry.first == folded) {
      entry.second = value;
      return;
    }
  }
  entries_.emplace_back(std::move(folded), value);
}

void PropertyBag::remove(const std::string& key) {
  std::string folded = foldKey(key);
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&](const auto& e) { return e.first == folded; }),
                 entries_.end());
}

bool PropertyBag::contains(const std::string& key) const { return find(foldKey(key)) != nullptr; }

void PropertyBag::WriteProperty(const std::string& key, const PropertyValue& value) {
  set(key, value);
}

void PropertyBag::WriteProperty(const std::string& key, const PropertyValue& value,
                                const PropertyValue& defaultValue) {
  if (value.equals(defaultValue))
    remove(key);
  else
    set(key, value);
}

PropertyValue PropertyBag::ReadProperty(const std::string& key) const {
  const PropertyValue* v = find(foldKey(key));
  return v ? *v : PropertyValue();
}

PropertyValue PropertyBag::ReadProperty(const std::string& key,
                                        const PropertyValue& defaultValue) const {
  const PropertyValue* v = find(foldKey(key));
  return v ? *v : defaultValue;
}
