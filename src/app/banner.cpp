// banner.cpp - the banner: the utility's version and release date, then when it was built.
#include "app/banner.h"

namespace {

constexpr int kVersion[] = {1, 4, 0, 0};
constexpr char kReleaseDate[] = "11/02/2018";

}  // namespace

void PrintBanner(Console& console) {
  console.Printf("\n 5200 Windows Command Line Utility v%d.%d.%d.%d (%s)\n", kVersion[0],
                 kVersion[1], kVersion[2], kVersion[3], kReleaseDate);
  console.Printf(" (Built at %s on %s)\n\n\n", __TIME__, __DATE__);
}
