// image_ini.h - the INI sections that build a given image: every value the image holds, written
// as the key that sets it, and what keeps an image from being rebuilt exactly.
#pragma once

#include <string>
#include <vector>

#include "config/image/image_decode.h"

// The INI text for |decoded|. Values the image does not hold (the MAC address and serial-number
// ranges and increments) get safe placeholders. |*obstacles| receives one line per reason the
// text cannot build this very image; the text is complete either way.
std::string ImageIniText(const DecodedImage& decoded, std::vector<std::string>* obstacles);
