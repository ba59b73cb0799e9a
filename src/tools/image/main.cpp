// main.cpp - qnt5200-image: shows what an EEPROM or OTP image file holds, compares two of them,
// and writes the INI sections that build an image.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/user_file.h"

#include "tools/image/image_ini.h"
#include "tools/image/image_report.h"
#include "version/build_version.h"

namespace {

// No image is this large; a bigger file is refused before it is read whole.
constexpr size_t kMaxFileBytes = 1 << 20;

const char kUsage[] =
    "Usage: qnt5200-image show FILE      the fields of an EEPROM or OTP image file, then its\n"
    "                                    inconsistencies (exit 1 when there are any); a file\n"
    "                                    that is no image is refused before any field\n"
    "       qnt5200-image show --raw FILE  every field of any file all the same, read as if it\n"
    "                                    were an image (exit 1 when it is none)\n"
    "       qnt5200-image diff FILE FILE the fields that differ between two images (exit 1 when\n"
    "                                    any do)\n"
    "       qnt5200-image ini FILE       the INI sections that build this image (exit 1 when\n"
    "                                    they cannot build it exactly)\n"
    "       qnt5200-image --help         this text\n"
    "       qnt5200-image --version      the version and the commit of this build\n"
    "Exit codes:\n"
    "  0  done: no difference, no inconsistency\n"
    "  1  differences or inconsistencies found, or an image that no INI file builds exactly\n"
    "  2  a bad command line, or a file that cannot be read or is no image\n";

bool ReadImageFile(const char* name, InspectedImage* decoded) {
  // Only a regular file is read: a pipe or a device is no image, and must not hold the tool.
  std::vector<uint8_t> bytes(kMaxFileBytes + 1);
  size_t size = 0;
  std::string reason;
  if (!ReadUserFile(name, bytes.data(), bytes.size(), &size, &reason)) {
    std::fprintf(stderr, "qnt5200-image: cannot open %s: %s\n", name, reason.c_str());
    return false;
  }
  if (size > kMaxFileBytes) {
    std::fprintf(stderr, "qnt5200-image: %s is too large to be an image\n", name);
    return false;
  }
  *decoded = InspectImageFile(bytes.data(), size);
  return true;
}

// Refused before anything is printed, so that the refusal stands on a line of its own instead of
// following a page of fields decoded from bytes that mean nothing.
bool RefuseNonImage(const char* name, const InspectedImage& decoded) {
  if (IsImage(decoded)) return false;
  std::fflush(stdout);
  if (decoded.file_size == 0) {
    std::fprintf(stderr, "qnt5200-image: %s is empty, no image\n", name);
  } else {
    std::fprintf(stderr, "qnt5200-image: %s is no image: signature 0x%02X\n", name,
                 decoded.image[0]);
  }
  return true;
}

int Show(const char* name) {
  InspectedImage decoded;
  if (!ReadImageFile(name, &decoded)) return kImageToolBadInput;
  if (RefuseNonImage(name, decoded)) return kImageToolBadInput;
  std::fputs(ShowReport(name, decoded).c_str(), stdout);
  return decoded.problems.empty() ? kImageToolDone : kImageToolDifferent;
}

// A file that is no image decoded all the same, for one who wants to see what a damaged or
// foreign file would give: its unknown signature is one of the inconsistencies listed.
int ShowRaw(const char* name) {
  InspectedImage decoded;
  if (!ReadImageFile(name, &decoded)) return kImageToolBadInput;
  if (decoded.file_size == 0 && RefuseNonImage(name, decoded)) return kImageToolBadInput;
  std::fputs(ShowReport(name, decoded).c_str(), stdout);
  return decoded.problems.empty() ? kImageToolDone : kImageToolDifferent;
}

int Diff(const char* name_a, const char* name_b) {
  InspectedImage a;
  InspectedImage b;
  if (!ReadImageFile(name_a, &a) || !ReadImageFile(name_b, &b)) return kImageToolBadInput;
  if (RefuseNonImage(name_a, a) || RefuseNonImage(name_b, b)) return kImageToolBadInput;
  int differences = 0;
  const std::string report = DiffReport(a, b, &differences);
  std::fputs(report.c_str(), stdout);
  if (differences == 0) {
    std::printf("No difference.\n");
    return kImageToolDone;
  }
  std::printf("%d fields differ.\n", differences);
  return kImageToolDifferent;
}

int Ini(const char* name) {
  InspectedImage decoded;
  if (!ReadImageFile(name, &decoded)) return kImageToolBadInput;
  if (RefuseNonImage(name, decoded)) return kImageToolBadInput;
  std::vector<std::string> obstacles;
  const std::string ini = ImageIniText(decoded, &obstacles);
  std::fputs(ini.c_str(), stdout);
  for (const std::string& obstacle : obstacles) {
    std::fprintf(stderr, "qnt5200-image: the INI file cannot build this image exactly: %s\n",
                 obstacle.c_str());
  }
  return obstacles.empty() ? kImageToolDone : kImageToolDifferent;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return kImageToolDone;
  }
  if (command == "--version" && argc == 2) {
    std::printf("%s\n", VersionLine("qnt5200-image").c_str());
    return kImageToolDone;
  }
  if (command == "show" && argc == 3) return Show(argv[2]);
  if (command == "show" && argc == 4 && std::strcmp(argv[2], "--raw") == 0) return ShowRaw(argv[3]);
  if (command == "diff" && argc == 4) return Diff(argv[2], argv[3]);
  if (command == "ini" && argc == 3) return Ini(argv[2]);
  std::fprintf(stderr, "qnt5200-image: %s\n%s", argc > 1 ? "bad command line" : "no command given",
               kUsage);
  return kImageToolBadInput;
}
