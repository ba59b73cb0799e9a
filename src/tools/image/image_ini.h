// image_ini.h - the INI sections that build a given image: every value the image holds, written
// as the key that sets it, and what keeps an image from being rebuilt exactly.
#pragma once

#include <string>
#include <vector>

#include "tools/image/image_inspect.h"

// The INI text for |inspected|. Values the image does not hold (the MAC address and
// serial-number ranges and increments) get safe placeholders. |*obstacles| receives one line per
// reason the text cannot build this very image, its inconsistencies first; the text is complete
// either way.
std::string ImageIniText(const InspectedImage& inspected, std::vector<std::string>* obstacles);
