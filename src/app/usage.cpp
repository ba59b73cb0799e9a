// usage.cpp - the usage text, line by line. The first lines name the program as it was started.
#include "app/usage.h"

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
};

}  // namespace

void PrintUsage(const char* program_name, Console& console) {
  for (const char* line : kProgramLines) console.Printf(line, program_name);
  for (const char* line : kOptionLines) console.Print(line);
}
