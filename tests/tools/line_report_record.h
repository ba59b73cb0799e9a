// line_report_record.h - a small record of two stations for the line report page's tests, with
// what its page must show worked out by hand.
//
// st1 programs 00:11:22:33:44:10 (08:10:20), fails to verify 44:11 (08:40:30, exit 9), programs
// 44:12 (09:05:20) and 44:13 (09:30:20), and is refused 44:10 again (10:15:00, exit 10) and,
// for another reason, 44:17 (09:00:00, exit 10, the last line): 1 failed run, 2 refused. The
// second station, whose name is a script, programs 44:14 (08:20:30), dies after reserving 44:15
// (10:50:00) and programs 44:16 (10:55:40).
//   Boards by hour (UTC)   08  09  10
//     all stations          2   2   1
//     the script station    1   0   1
//     st1                   1   2   0
//   Rates: st1 3 boards in 2:05:00 (1.4 per hour); the script station 2 in 2:35:40 (0.8); all 5
//   in 2:45:40 (1.8). MAC addresses used: 44:10 to 44:16, 7. An INI file at 44:17 up to 44:FF
//   has 233 left. Used up on no board: 44:11 (line 5, exit 9) and 44:15 (line 13, unknown).
#pragma once

#include <string>

namespace line_report {

inline const std::string kScriptStation = "<script>document.title='pwned'</script>";
inline const std::string kVerifyError = "verify <b>failed</b> & stopped";
inline const std::string kAboveError = "MAC address 00:11:22:33:44:17 is above MaximumMacAddress";

inline std::string Line(const std::string& time, const std::string& mac_end,
                        const std::string& result, const std::string& written,
                        const std::string& station, const std::string& error = "") {
  return time + ",0,qnt5230,eeprom,00:11:22:33:44:" + mac_end + ",\"=\"\"00" + mac_end +
         "\"\"\",302,0,b.ini," + result + "," + written + "," + station + ",0," + error + ",2\n";
}

inline std::string Record() {
  const std::string& s = kScriptStation;
  return std::string(
             "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result,"
             "written,station,duration_ms,error,record_format\n") +
         Line("2026-03-01T08:10:00Z", "10", "reserved", "no", "st1") +
         Line("2026-03-01T08:10:20Z", "10", "0", "yes", "st1") +
         Line("2026-03-01T08:40:00Z", "11", "reserved", "no", "st1") +
         Line("2026-03-01T08:40:30Z", "11", "9", "yes", "st1", kVerifyError) +
         Line("2026-03-01T09:05:00Z", "12", "reserved", "no", "st1") +
         Line("2026-03-01T09:05:20Z", "12", "0", "yes", "st1") +
         Line("2026-03-01T09:30:00Z", "13", "reserved", "no", "st1") +
         Line("2026-03-01T09:30:20Z", "13", "0", "yes", "st1") +
         Line("2026-03-01T10:15:00Z", "10", "10", "refused", "st1", "programmed already") +
         Line("2026-03-01T08:20:00Z", "14", "reserved", "no", s) +
         Line("2026-03-01T08:20:30Z", "14", "0", "yes", s) +
         Line("2026-03-01T10:50:00Z", "15", "reserved", "no", s) +
         Line("2026-03-01T10:55:00Z", "16", "reserved", "no", s) +
         Line("2026-03-01T10:55:40Z", "16", "0", "yes", s) +
         Line("2026-03-01T09:00:00Z", "17", "10", "refused", "st1", kAboveError);
}

}  // namespace line_report
