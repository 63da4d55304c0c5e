// Applies one checked --set to a button through the property's own setter.
#pragma once

#include "Options.h"
#include "button/ztButtons_H.h"

// Errors of the setter or of reading a picture file arrive as RuntimeError.
void ApplyAssignment(ztButtons_H& button, const Assignment& a);
