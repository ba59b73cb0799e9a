// record_reader.cpp - reading the per-board record line by line, each line's columns as views.
#include "format/record_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <system_error>
#include <vector>

#include "format/mac_text.h"
#include "format/utc_time.h"

namespace {

enum Column : size_t {
  kTimeColumn,
  kAdapterColumn,
  kChipColumn,
  kMemoryColumn,
  kMacColumn,
  kSerialColumn,
  kImageLengthColumn,
  kCrcColumn,
  kFileColumn,
  kResultColumn,
  kWrittenColumn,
  kStationColumn,
  kDurationColumn,
  kErrorColumn,
  kFormatColumn,
  kVerifiedColumn,
};
constexpr size_t kOldColumns = 10;
// The first form's columns: every form's header begins with them.
constexpr std::array<std::string_view, kOldColumns> kFirstFormColumns = {
    "time",          "adapter",      "chip",  "memory", "mac_address",
    "serial_number", "image_length", "crc32", "file",   "result"};
constexpr int kVerifiedForm = 3;  // the first form with the verified column
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// No record line comes near it; a longer one is unreadable, and never held whole.
constexpr size_t kMaxLineBytes = 1u << 20;

constexpr std::string_view kYes = "yes";
constexpr std::string_view kNo = "no";
constexpr std::string_view kRefused = "refused";

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c =
        text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != word[i]) return false;
  }
  return true;
}

// The whole of |text| as a number in |base|; false for anything else, an overflow included.
template <typename Number>
bool ParseNumber(std::string_view text, int base, Number* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The fields and their storage, reused from line to line.
class LineParser {
 public:
  bool IsHeader(std::string_view line) {
    if (!Split(line) || fields_.size() < kOldColumns) return false;
    for (size_t i = 0; i < kOldColumns; ++i) {
      if (!EqualsIgnoringCase(fields_[i], kFirstFormColumns[i])) return false;
    }
    return true;
  }

  // False for an unreadable line.
  bool Parse(std::string_view line, RecordLineView* view) {
    if (!Split(line) || fields_.size() < kOldColumns) return false;
    view->old_form = fields_.size() == kOldColumns;
    BasicBoardRecordLine<std::string_view>& out = view->fields;
    out.time = fields_[kTimeColumn];
    if (!ParseUtcTime(out.time, &view->seconds) || !ReadOutcome(view) || !ReadMac(view)) {
      return false;
    }
    out.adapter = NumberOr<uint32_t>(kAdapterColumn, 10);
    out.chip = fields_[kChipColumn];
    out.memory = fields_[kMemoryColumn];
    out.serial_number = SerialText(fields_[kSerialColumn]);
    out.image_length = NumberOr<int32_t>(kImageLengthColumn, 10);
    out.crc32 = NumberOr<uint32_t>(kCrcColumn, 16);
    out.file = fields_[kFileColumn];
    out.station = TextOr(kStationColumn);
    out.duration_ms = NumberOr<uint32_t>(kDurationColumn, 10);
    out.error = TextOr(kErrorColumn);
    return true;
  }

 private:
  // The fields of one physical line, quotes undone and blanks around them dropped; false when a
  // quote is left open, so a stray quote never swallows the lines after it.
  bool Split(std::string_view line) {
    fields_.clear();
    if (line.find('"') == std::string_view::npos) {
      // One pass over the line: its fields are short, too short to search for each comma apart.
      size_t start = 0;
      for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != ',') continue;
        fields_.push_back(Trimmed(line.substr(start, i - start)));
        start = i + 1;
      }
      fields_.push_back(Trimmed(line.substr(start)));
      return true;
    }
    // Undoing the quotes only shortens the text, so the reserved storage never moves.
    unquoted_.clear();
    unquoted_.reserve(line.size());
    ends_.clear();
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        unquoted_ += '"';
        ++i;
      } else if (c == '"') {
        quoted = !quoted;
      } else if (c == ',' && !quoted) {
        ends_.push_back(unquoted_.size());
      } else {
        unquoted_ += c;
      }
    }
    ends_.push_back(unquoted_.size());
    const std::string_view text = unquoted_;
    for (size_t i = 0, start = 0; i < ends_.size(); start = ends_[i++]) {
      fields_.push_back(Trimmed(text.substr(start, ends_[i] - start)));
    }
    return !quoted;
  }

  // The result, written and verified columns, which say what became of the identity.
  bool ReadOutcome(RecordLineView* view) {
    BasicBoardRecordLine<std::string_view>& line = view->fields;
    const std::string_view result = fields_[kResultColumn];
    if (!view->old_form) {
      const std::string_view written = fields_[kWrittenColumn];
      line.written = EqualsIgnoringCase(written, kYes);
      line.refused = EqualsIgnoringCase(written, kRefused);
      if (!line.written && !line.refused && !EqualsIgnoringCase(written, kNo)) return false;
      line.reserved = EqualsIgnoringCase(result, kRecordReserved);
    }
    if (!line.reserved && !ParseNumber(result, 10, &line.result)) return false;
    if (view->old_form) line.written = line.result == 0;  // the first form told no failed write
    int form = 0;
    if (kFormatColumn < fields_.size() && ParseNumber(fields_[kFormatColumn], 10, &form) &&
        form >= kVerifiedForm) {
      const std::string_view verified = TextOr(kVerifiedColumn);
      line.verified = EqualsIgnoringCase(verified, kYes);
      return line.verified || EqualsIgnoringCase(verified, kNo);
    }
    line.verified = !line.reserved && line.written && line.result == 0;
    return true;
  }

  bool ReadMac(RecordLineView* view) {
    const std::string_view text = fields_[kMacColumn];
    view->fields.mac_address = {};
    if (text.empty()) return true;
    MacAddress mac{};
    if (!ParseMacAddress(text, &mac)) return false;
    view->mac = MacNumber(mac);
    // Written here rather than as a new string: a line costs no allocation.
    constexpr char kHex[] = "0123456789ABCDEF";
    for (size_t i = 0; i < mac.size(); ++i) {
      mac_text_[3 * i] = kHex[mac[i] >> 4];
      mac_text_[3 * i + 1] = kHex[mac[i] & 0xF];
      if (i + 1 < mac.size()) mac_text_[3 * i + 2] = ':';
    }
    view->fields.mac_address = std::string_view(mac_text_.data(), mac_text_.size());
    return true;
  }

  // A serial number that form 2 wrote as a formula (="0001") is the text inside it.
  std::string_view SerialText(std::string_view field) {
    if (field.size() < 3 || !field.starts_with("=\"") || !field.ends_with('"')) return field;
    const std::string_view inside = field.substr(2, field.size() - 3);
    if (inside.find('"') == std::string_view::npos) return inside;
    serial_.clear();
    for (size_t i = 0; i < inside.size(); ++i) {
      serial_ += inside[i];
      if (inside[i] == '"' && i + 1 < inside.size() && inside[i + 1] == '"') ++i;
    }
    return serial_;
  }

  template <typename Number>
  Number NumberOr(size_t column, int base) {
    Number value = 0;
    return column < fields_.size() && ParseNumber(fields_[column], base, &value) ? value : 0;
  }

  std::string_view TextOr(size_t column) const {
    return column < fields_.size() ? fields_[column] : std::string_view();
  }

  std::vector<std::string_view> fields_;
  std::string unquoted_;
  std::vector<size_t> ends_;
  std::string serial_;
  std::array<char, kMacAddressTextLength> mac_text_{};
};

// Takes the record's lines one by one, whole.
class LineTaker {
 public:
  LineTaker(RecordLineSink& sink, bool header_required, RecordRead* read)
      : sink_(sink), header_required_(header_required), read_(read) {}

  // False once nothing more is to be read.
  bool Take(std::string_view line, bool overlong) {
    ++number_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (number_ == 1 && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
    if (number_ == 1 && !overlong && parser_.IsHeader(line)) {
      read_->shape = RecordShape::kRecord;
      return true;
    }
    if (!overlong && Trimmed(line).empty()) return true;
    if (read_->shape == RecordShape::kEmpty) {
      read_->shape = RecordShape::kNoHeader;
      if (header_required_) return false;
    }
    RecordLineView view{.number = number_};
    if (!overlong && parser_.Parse(line, &view)) {
      sink_.Line(view);
    } else {
      sink_.Unreadable(number_, overlong ? std::string_view() : line);
    }
    return true;
  }

 private:
  RecordLineSink& sink_;
  const bool header_required_;
  RecordRead* read_;
  LineParser parser_;
  int number_ = 0;
};

}  // namespace

RecordRead ReadRecordLines(ByteSource& source, RecordLineSink& sink, bool header_required) {
  RecordRead read;
  LineTaker taker(sink, header_required, &read);
  std::string carry;  // the beginning of a line that goes on in the next block
  bool overlong = false;
  std::string_view block;
  while (source.Next(&block)) {
    if (block.empty()) {
      if (!carry.empty() || overlong) taker.Take(carry, overlong);  // no line end after it
      read.read = true;
      return read;
    }
    for (size_t start = 0;;) {
      const size_t end = block.find('\n', start);
      const std::string_view piece = block.substr(start, end - start);
      if (end == std::string_view::npos) {
        overlong = overlong || carry.size() + piece.size() > kMaxLineBytes;
        if (overlong) carry.clear();
        if (!overlong) carry.append(piece);
        break;
      }
      bool more = true;
      if (overlong || carry.empty()) {
        more = taker.Take(piece, overlong);
      } else {
        carry.append(piece);
        more = taker.Take(carry, carry.size() > kMaxLineBytes);
      }
      carry.clear();
      overlong = false;
      if (!more) {
        read.read = true;
        return read;
      }
      start = end + 1;
    }
  }
  return read;
}

uint64_t SerialKey(std::string_view serial_number) {
  uint64_t key = 0xCBF29CE484222325;  // FNV-1a, then mixed so that every bit counts
  for (const char c : serial_number) key = (key ^ static_cast<uint8_t>(c)) * 0x100000001B3;
  key ^= key >> 33;
  key *= 0xFF51AFD7ED558CCD;
  key ^= key >> 33;
  return key;
}

namespace {

// The fields of a damaged line, split at every comma and every quote, the formula ="..." and
// blanks undone: how the line was meant to be cut is unknown, so every piece counts.
template <typename Each>
void ForEachPiece(std::string_view line, const Each& each) {
  size_t start = 0;
  for (size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] != ',' && line[i] != '"') continue;
    std::string_view piece = Trimmed(line.substr(start, i - start));
    if (piece.starts_with('=')) piece = Trimmed(piece.substr(1));
    if (!piece.empty()) each(piece);
    start = i + 1;
  }
}

constexpr size_t kMacText = kMacAddressTextLength;

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
  if (word.empty() || text.size() < word.size()) return false;
  for (size_t at = 0; at + word.size() <= text.size(); ++at) {
    if (EqualsIgnoringCase(text.substr(at, word.size()), word)) return true;
  }
  return false;
}

}  // namespace

bool DamagedLineNamesMac(std::string_view line, std::string_view mac_address) {
  if (mac_address.size() != kMacText) return false;
  std::string dashes(mac_address);
  std::string bare;
  for (char& c : dashes) {
    if (c == ':') {
      c = '-';
    } else {
      bare += c;
    }
  }
  return ContainsIgnoringCase(line, mac_address) || ContainsIgnoringCase(line, dashes) ||
         ContainsIgnoringCase(line, bare);
}

bool DamagedLineNamesSerial(std::string_view line, std::string_view serial_number) {
  if (serial_number.empty()) return false;
  bool named = false;
  ForEachPiece(line, [&](std::string_view piece) { named = named || piece == serial_number; });
  return named;
}

DamagedLineNames NamesOfDamagedLine(std::string_view line) {
  DamagedLineNames names;
  // "XX:XX:XX:XX:XX:XX" or with '-', wherever it stands.
  for (size_t at = 0; at + kMacText <= line.size(); ++at) {
    MacAddress mac{};
    const std::string_view text = line.substr(at, kMacText);
    if ((text[2] == ':' || text[2] == '-') && ParseMacAddress(text, &mac)) {
      const std::string canonical = MacAddressText(mac);
      if (std::find(names.mac_addresses.begin(), names.mac_addresses.end(), canonical) ==
          names.mac_addresses.end()) {
        names.mac_addresses.push_back(canonical);
      }
      at += kMacText - 1;
    }
  }
  // The serial number column, when the line has that many commas.
  size_t column = 0;
  size_t start = 0;
  for (size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] != ',') continue;
    if (column++ == static_cast<size_t>(kSerialColumn)) {
      // Quotes, as the line's own or the formula's, are no part of a serial number.
      std::string field;
      for (const char c : line.substr(start, i - start)) {
        if (c != '"') field += c;
      }
      std::string_view text = Trimmed(field);
      if (text.starts_with('=')) text = Trimmed(text.substr(1));
      names.serial_number = std::string(text);
      break;
    }
    start = i + 1;
  }
  return names;
}
