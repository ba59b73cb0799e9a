// usage.cpp - the usage text, line by line. The first lines name the program as it was started;
// the options this utility adds follow the ones it always listed, so a reader of the old text
// finds every line where it was. --help adds the exit codes.
#include "app/usage.h"

#include "common/exit_codes.h"

namespace {

constexpr const char* kProgramLines[] = {
    "Usage: %s [-X <AdapterIndex>] (-b <bin_filename>)(-w -r ) [-O] [-C] [-l <link mode>]  [-P "
    "<ip address>] [-L]\n",
    "Usage: %s [-X <AdapterIndex>] [-R <Register addr in hex>] [-W <Register addr in hex> -v <hex "
    "value>] [-y <phy index in hex>] [-Y <phy index in hex> -v <hex value>]\n",
    "Usage: %s [-X <AdapterIndex>] [-G (v b l k p o e u)]\n",
};

constexpr const char* kOptionLines[] = {
    "-X <AdapterIndex>    zero based adapter index\n",
    "-b <bin_filename>    Specify the binary file <bin_filename>\n",
    "-w                   Write the EEPROM Contents\n",
    "-r                   Read the EEPROM Contents in the device\n",
    "-l  <link mode>      Set the link mode 10hd/10fd/100hd/100fd/1000fd \n",
    "-k  <link state>     Set the link state flag (d=down, u=up)\n",
    "-V                   Perform PairScan Cable Diagnostics\n",
    "-p <Dest ip address> ping option,Specify the destination ip address\n",
    "-L                   External loop Back option\n",
    "-R <Register address in hex> Read Control and Status register\n",
    "-W <Register address in hex> -v <hex value> Write Control and Status register\n",
    "-y <PHY Register index in hex> Read PHY register\n",
    "-Y <PHY Register index in hex> -v <hex value> Write PHY register\n",
    "-e <PCI Config Offset in hex> Read PCI Config Space dword\n",
    "-E <PCI Config Offset in hex> -v <hex value> Write PCI Config Space dword\n",
    "-j <PCIe PHY Register address in hex> Read PCIe PHY register\n",
    "-J <PCIe PHY Register address in hex> -v <hex value> Write PCIe PHY register\n",
    "-O                   OTP operation\n",
    "-C                   OTP write confirmation \"YES\"\n",
    "-G v                 Get driver version\n",
    "-G b                 Get adapter bits\n",
    "-G l                 Get adapter location\n",
    "-G k                 Get adapter registry key\n",
    "-G p                 Get adapter port\n",
    "-G o                 Get adapter PDO name\n",
    "-G e                 Get Ethernet Statistics\n",
    "-h, -H, or -?        Displays this usage information.\n",
    "-i <ini_filename>    Specify the ini configuration file <ini_filename>\n",
    "-o <image_filename>  Generate the image file <image_filename> from the ini file (no device)\n",
    "-d <chip model>      Chip model of the generated image: QNT5230, QNT5231 or QNT523F\n",
    "-s                   Step the MAC address and serial number after -w with -i\n",
    "-f <fw_filename>     Load the PHY microcontroller firmware file <fw_filename>\n",
    "-m <fw mode>         Firmware mode: load, verify, reset (reset, load, verify) or param\n",
    "-t <record file>     Record each board written with -w; refuse a MAC address recorded\n",
    "-a                   Write the results as one JSON document on standard output and\n",
    "                     the text on standard error (put it first).\n",
    "--help               Displays this usage information and the exit codes.\n",
    "--version            Displays the version and the commit of this build.\n",
};

// What a station's script needs beside each code's short meaning.
struct ExitCodeLine {
  int code;
  const char* detail;
};

constexpr ExitCodeLine kExitCodeLines[] = {
    {kExitSuccess, "the operation done; the usage text or the version shown"},
    {kExitNoDevice,
     "control device not opened, register 0 not read, not a QNT5200-family chip, or an "
     "unknown chip model for -o"},
    {kExitNoMemory, "while reading the command line"},
    {kExitBadParameters, "the command line, or the INI file named with -i (missing or invalid)"},
    {kExitNoOperation,
     "no operation chosen, GPIO wake settings that contradict each other, or an OTP without "
     "room for the image"},
    {kExitLinkModeFailed, "link mode not set, or no link after setting it"},
    {kExitEepromReadFailed, "EEPROM read, save or size probe failed"},
    {kExitOperationFailed, "a register, PHY, -G, -k, -V or firmware operation did not do its work"},
    {kExitPingFailed, "no reply to the ping"},
    {kExitLoopbackFailed, "the loopback test failed"},
    {kExitProgramFailed, "EEPROM programming or verification failed, or the -b file missing"},
    {kExitModifyFailed,
     "an identity refused before the board was touched, stepping or an output file failed, "
     "or the last identity of a range programmed"},
    {kExitOtpReadFailed, "OTP read or save failed"},
    {kExitOtpProgramFailed, "OTP programming, verification or validation failed"},
    {kExitOtpFull, "the OTP takes no further image"},
};

}  // namespace

void PrintUsage(const char* program_name, Console& console) {
  for (const char* line : kProgramLines) console.Printf(line, program_name);
  for (const char* line : kOptionLines) console.Print(line);
}

void PrintExitCodes(Console& console) {
  console.Print("Exit codes (-1 is 255 in a POSIX shell):\n");
  for (const ExitCodeLine& line : kExitCodeLines) {
    console.Printf("%4d  %s: %s\n", line.code, ExitCodeMeaning(line.code), line.detail);
  }
}
