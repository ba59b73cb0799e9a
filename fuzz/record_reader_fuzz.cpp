// record_reader_fuzz.cpp - libFuzzer target: any bytes as a per-board record, handed over in blocks
// of a size the input's first byte chooses, through the run's reading and qnt5200-record's summary
// and check.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "format/record_identities.h"
#include "tools/record/record_check.h"
#include "tools/record/record_summary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  TextSource blocks(text, size_t{data[0]} + 1);
  RecordIdentities identities;
  identities.Read(blocks, "00:11:22:33:44:55", "000000000001");
  SummarizeRecord(text);
  CheckRecord(text, true);
  return 0;
}
