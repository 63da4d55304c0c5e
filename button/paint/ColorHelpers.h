// Colour arithmetic shared by the button's property model and its painters. Colours are 32-bit
// values: RGB with red in the low byte, or 0x800000nn for system colour nn.
#pragma once

#include <cstdint>

// A system colour reference becomes its current RGB value; an RGB value comes back unchanged.
int32_t TranslateColor(int32_t Color);

// Lightens (positive Amount) or darkens (negative Amount) an RGB colour channel by channel.
// Green, and blue unless ScaleBlue is True (-1), are first stretched by 256/255; with ScaleBlue
// the blue change is proportional to the blue channel itself. Every channel stays in 0..255.
int32_t ShadeColor(int32_t Color, int16_t Amount, int16_t ScaleBlue = 0);
