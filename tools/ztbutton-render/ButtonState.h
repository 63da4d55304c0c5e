// Puts a shown button into the states a user brings it to: the pointer over it, the left button
// held on it (with the pointer still over it or moved away), the keyboard focus on it.
#pragma once

#include "Options.h"
#include "button/ztButtons_H.h"

// The button must be visible on the screen.
void ApplyButtonState(ztButtons_H& button, const StateRequest& state, bool designTime);
