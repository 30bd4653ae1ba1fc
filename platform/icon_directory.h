// Picks one image out of an icon group resource (RT_GROUP_ICON).
#pragma once

#include <cstddef>

// The resource id of the image in `groupDirectory` (a GRPICONDIR with its
// entries) that is exactly width x height at bitCount bits per pixel, or -1
// when there is none or the bytes are not a well-formed directory. An entry's
// width or height of 0 stands for 256. Reads nothing past `size` bytes.
// The window takes its 16-colour large and small icons through this.
int IconResourceId(const unsigned char* groupDirectory, std::size_t size, int width, int height,
                   int bitCount);
