// stat_names.cpp - the statistics counter names.
#include "emu/stat_names.h"

#include <strings.h>
#include <cstdlib>

#include "emu/wire_format.h"

namespace emu {
namespace {

constexpr const char* kStatNames[kStatCount] = {
    "RxCrcErrors",
    "RxAlignmentErrors",
    "RxFragmentErrors",
    "RxJabberErrors",
    "RxRuntFrameErrors",
    "RxFrameTooLongErrors",
    "RxDroppedFrames",
    "RxGoodUnicastBytes",
    "RxGoodBroadcastBytes",
    "RxGoodMulticastBytes",
    "RxGoodUnicastFrames",
    "RxGoodBroadcastFrames",
    "RxGoodMulticastFrames",
    "RxPauseFrames",
    "RxGood64ByteFrames",
    "RxGood65To127ByteFrames",
    "RxGood128To255ByteFrames",
    "RxGood256To511ByteFrames",
    "RxGood512To1023ByteFrames",
    "RxGood1024To1518ByteFrames",
    "RxGoodGreater1518ByteFrames",
    "Reserved84",
    "EeeRxLpiTransitions",
    "EeeRxLpiTime",
    "TxCrcErrors",
    "TxExcessiveDeferralErrors",
    "TxCarrierErrors",
    "TxBadBytes",
    "TxSingleCollisions",
    "TxMultipleCollisions",
    "TxExcessiveCollisionErrors",
    "TxLateCollisionErrors",
    "TxGoodUnicastBytes",
    "TxGoodBroadcastBytes",
    "TxGoodMulticastBytes",
    "TxGoodUnicastFrames",
    "TxGoodBroadcastFrames",
    "TxGoodMulticastFrames",
    "TxPauseFrames",
    "TxGood64ByteFrames",
    "TxGood65To127ByteFrames",
    "TxGood128To255ByteFrames",
    "TxGood256To511ByteFrames",
    "TxGood512To1023ByteFrames",
    "TxGood1024To1518ByteFrames",
    "TxGoodGreater1518ByteFrames",
    "Reserved184",
    "EeeTxLpiTransitions",
    "EeeTxLpiTime",
};

}  // namespace

const char* StatName(uint32_t index) { return index < kStatCount ? kStatNames[index] : ""; }

bool ParseStatName(const char* name, uint32_t* index) {
  for (uint32_t i = 0; i < kStatCount; ++i) {
    if (strcasecmp(kStatNames[i], name) == 0) {
      *index = i;
      return true;
    }
  }
  char* end = nullptr;
  const unsigned long value = std::strtoul(name, &end, 10);
  if (*name < '0' || *name > '9' || *end != '\0' || value >= kStatCount) return false;
  *index = static_cast<uint32_t>(value);
  return true;
}

}  // namespace emu
