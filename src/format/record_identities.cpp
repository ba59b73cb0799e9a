// record_identities.cpp - the record read for one run's identity.
#include "format/record_identities.h"

class RecordIdentities::Reader : public RecordLineSink {
 public:
  Reader(RecordIdentities& out, const std::string& mac_address, const std::string& serial_number)
      : out_(out), mac_address_(mac_address), serial_number_(serial_number) {}

  void Line(const RecordLineView& line) override {
    out_.open_.Note(line);
    if (UseOfLine(line.fields) == IdentityUse::kFree) return;
    if (!mac_address_.empty() && line.fields.mac_address == mac_address_) {
      out_.mac_owner_ = OwnerOfLine(line);
    }
    if (!serial_number_.empty() && line.fields.serial_number == serial_number_) {
      out_.serial_owner_ = OwnerOfLine(line);
    }
  }
  void Unreadable(int number, std::string_view text) override {
    out_.malformed_lines_.push_back(number);
    if (out_.damaged_mac_line_ == 0 && DamagedLineNamesMac(text, mac_address_)) {
      out_.damaged_mac_line_ = number;
    }
    if (out_.damaged_serial_line_ == 0 && DamagedLineNamesSerial(text, serial_number_)) {
      out_.damaged_serial_line_ = number;
    }
  }

 private:
  RecordIdentities& out_;
  const std::string& mac_address_;
  const std::string& serial_number_;
};

bool RecordIdentities::Read(ByteSource& source, const std::string& mac_address,
                            const std::string& serial_number) {
  *this = RecordIdentities();
  Reader reader(*this, mac_address, serial_number);
  const RecordRead read = ReadRecordLines(source, reader);
  shape_ = read.shape;
  return read.read;
}
