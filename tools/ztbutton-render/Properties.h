// The button's writable properties as the command line names them, each with how its value is
// written and the setter it goes through.
#pragma once

#include "Options.h"
#include "button/ztButtons_H.h"

struct PropertyInfo {
  const char* name;
  const char* storeKey;  // the key the button stores it under, accepted as a second name
  SetKind kind;
  void (*apply)(ztButtons_H& button, const Assignment& a);
};

// The property of that name or store key, without regard to case; null when there is none.
const PropertyInfo* FindProperty(const std::string& name);
// Applies one checked --set through the property's own setter. Errors of the setter or of
// reading a picture file arrive as RuntimeError.
void ApplyAssignment(ztButtons_H& button, const Assignment& a);
