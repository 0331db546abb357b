// Writes an animated GIF (looping, fixed delay) from cairo ARGB32 frames
// whose colours lie on a two-colour ramp; pixels less than half covered are
// transparent.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "Pictures.h"

namespace resgen {

// The GIF file's bytes, or an empty string on failure.
std::string encodeGif(const std::vector<cairo_surface_t*>& frames, Rgb light, Rgb dark,
                      int delayCentiseconds);

}  // namespace resgen
