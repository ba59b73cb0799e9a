// image_report.h - what qnt5200-image prints: the fields of one image with its inconsistencies,
// and the fields that differ between two images. Text in, text out, so tests see it whole.
#pragma once

#include <string>

#include "tools/image/image_inspect.h"

// Exit codes of qnt5200-image.
constexpr int kImageToolDone = 0;
constexpr int kImageToolDifferent = 1;  // diff found differences; show found inconsistencies
constexpr int kImageToolBadInput = 2;   // bad command line, or a file that is no image

// False for an empty file or one whose signature no image form has.
bool IsImage(const InspectedImage& decoded);

// "name: value" lines, then the inconsistencies.
std::string ShowReport(const std::string& file_name, const InspectedImage& decoded);

// "name: value-in-a | value-in-b" for every field that differs; |*differences| gets their count
// (a difference in bytes outside the named fields counts as one).
std::string DiffReport(const InspectedImage& a, const InspectedImage& b, int* differences);
