// Tests of the identity sections: each row is one section text with the expected result and
// messages.
#include <gtest/gtest.h>

#include <string>

#include "config/ini_test_support.h"

namespace {

struct SectionCase {
  const char* text;
  int result;
  const char* output;
};

void ExpectSectionCases(const char* header, std::initializer_list<SectionCase> cases) {
  for (const SectionCase& c : cases) {
    const IniRun run = LoadIniText(std::string(header) + "\n" + c.text);
    EXPECT_EQ(run.result, c.result) << header << "\n" << c.text;
    EXPECT_EQ(run.output, c.output) << header << "\n" << c.text;
  }
}

constexpr char kMacRest[] = "MaximumMacAddress = 00:11:22:33:FF:FF\nMacAddressIncrement = 1\n";

TEST(MacAddressSection, FormatsRangesAndMissingKeys) {
  ExpectSectionCases(
      "[MacAddress]",
      {
          {"CurrentMacAddress = 00-11:22-33:44-55\nMaximumMacAddress = 00:00:00:00:00:01\n"
           "MacAddressIncrement = 255\n",
           0, ""},
          {"CurrentMacAddress = 00:11:22:33:44:55 \n", -1,
           "WARNING: Ini file, invalid current MAC address format\n"},
          {"CurrentMacAddress = 00:11:22:33:44\n", -1,
           "WARNING: Ini file, invalid current MAC address format\n"},
          {"MaximumMacAddress = 01:11:22:33:44:55\n", -1, "ERROR: Invalid max mac address\n"},
          {"MaximumMacAddress = 00:00:00:00:00:00\n", -1, "ERROR: Invalid max mac address\n"},
          {"MaximumMacAddress = 00:00:00:00:00:0\n", -1,
           "ERROR: Ini file, invalid maximum MAC address format\n"},
          {"MacAddressIncrement = 0\n", -1,
           "WARNING: Ini file, mac address increment is zero in the ini file\n"},
          {"MacAddressIncrement = 256\n", -1,
           "WARNING: Ini file, mac address increment is out of range in the ini file\n"},
          {"MacAddressIncrement = 1000\n", -1,
           "WARNING: Ini file, invalid mac address increment or out of range\n"},
          {"", -1,
           "ERROR: Ini file,  the field CurrentMacAddress is missing\n"
           "ERROR: Ini file, the field MaximumMacAddress is missing\n"
           "ERROR: Ini file, the field MacAddressIncrement is missing\n"},
          {"CurrentMacAddress =\n", -1,
           "ERROR: Ini file,  the field CurrentMacAddress is missing\n"
           "ERROR: Ini file, the field MaximumMacAddress is missing\n"
           "ERROR: Ini file, the field MacAddressIncrement is missing\n"},
      });
}

TEST(MacAddressSection, StoresAddressesAndIncrement) {
  const IniRun run = LoadIniText(
      std::string("[MacAddress]\n  CurrentMacAddress\t= 0a:0B:0c:0D:0e:0F\n") + kMacRest);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(run.settings.CurrentMacAddress, (MacAddress{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}));
  EXPECT_EQ(run.settings.MaximumMacAddress, (MacAddress{0x00, 0x11, 0x22, 0x33, 0xFF, 0xFF}));
  EXPECT_EQ(run.settings.MacAddressIncrement, 1);
  EXPECT_TRUE(run.state.MacAddressSectionPresent);
}

TEST(SerialNumberSection, LengthsIncrementsAndMissingKeys) {
  ExpectSectionCases(
      "[SerialNumber]",
      {
          {"CurrentSerialNumber = 0123456789ABCDEF\nMaximumSerialNumber = FFFFFFFFFFFFFFFF\n"
           "SerialNumberIncrement = 0\n",
           0, ""},
          {"CurrentSerialNumber = 0123456789ABCDEF0\n", -1,
           "WARNING: Ini file: Current serial number size is greater than 16\n"},
          {"MaximumSerialNumber = 0123456789ABCDEF0\n", -1,
           "WARNING: Ini file, maximum serial number size is greater than 16\n"},
          {"SerialNumberIncrement = 256\n", -1,
           "WARNING: Ini file, serial number increment is out of range\n"},
          {"SerialNumberIncrement = 1x\n", -1,
           "WARNING: Ini file, invalid serial number increment or out of range\n"},
          {"SerialNumberIncrement = 5\n", -1,
           "ERROR: Ini file, the field CurrentSerialNumber is missing\n"
           "ERROR: Ini file, the field MaximumSerialNumber is missing\n"},
      });
}

TEST(SerialNumberSection, TextAfterABlankIsNotPartOfTheSerialNumber) {
  const IniRun run = LoadIniText(
      "[SerialNumber]\nCurrentSerialNumber = 00AB more text\nMaximumSerialNumber = FFFF\n"
      "SerialNumberIncrement = 1\n");
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(run.settings.CurrentSerialNumber, "00AB");
  EXPECT_EQ(run.settings.CurrentSerialNumberLength, 4);
}

TEST(StringSection, EnablesDecideWhichStringsArePresent) {
  ExpectSectionCases(
      "[String]",
      {
          {"ManufacturerEnable = 0\nProductEnable = 0\nConfigurationEnable = 0\nInterfaceEnable = "
           "0\n",
           0, ""},
          {"ManufacturerEnable = 12\n", -1, "ERROR: Invalid ManufacturerEnable(range 0-1)\n"},
          {"ManufacturerEnable = 2\nProductEnable = 1\nConfigurationEnable = 0\n", -1,
           "ERROR: Invalid value for the field ManufacturerEnable (range 0-1)\n"
           "ERROR: The field ProductString is missing\n"
           "ERROR: The field InterfaceEnable is missing\n"},
      });
  const IniRun run = LoadIniText(
      "[String]\nManufacturerString =  Example  Networks  \nManufacturerEnable = 1\n"
      "ProductString = Adapter\nProductEnable = 0\nConfigurationEnable = 0\nInterfaceEnable = 0\n");
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(run.settings.ManufacturerString, "Example  Networks  ");
  EXPECT_FALSE(run.settings.ProductString.has_value());
}

TEST(IdSection, IdentifiersAndBcdDevice) {
  ExpectSectionCases(
      "[ID]",
      {
          {"VendorID = 0x0\n", -1, "ERROR: Vendor ID cannot be 0\n"},
          {"VendorID = 0x12345\n", -1,
           "ERROR: Invalid vendor ID. Should be in the format 0x0E1D\n"},
          {"VendorID = 0x0E1D # ours\n", -1,
           "ERROR: Invalid vendor ID. Should be in the format 0x0E1D\n"},
          {"ProductID = 5230\n", -1, "ERROR: Invalid product ID. Should be in the format 0x5200\n"},
          {"BcdDevice = 01020\n", -1, "ERROR: Invalid BcdDevice\n"},
          {"BcdDevice = 0x12\n", -1, "ERROR: Invalid BcdDevice\n"},
          {"ProductID = 0x0\n", -1,
           "ERROR: The field VendorID is missing\nERROR: The field BcdDevice is missing\n"},
      });
  const IniRun run = LoadIniText("[ID]\nVendorID = 0x1\nProductID = 0x0\nBcdDevice = 0102\n");
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(run.settings.VendorID, 0x1);
  EXPECT_EQ(run.settings.ProductID, 0x0);
  EXPECT_EQ(run.settings.BcdDevice, 0x0102);
  EXPECT_EQ(LoadIniText("[ID]\nBcdDevice = 1\n").settings.BcdDevice, 0x0001);
}

TEST(PowerSection, RangesEvennessAndMultiplesOfEight) {
  ExpectSectionCases(
      "[Power]",
      {
          {"HSMaxPower = 0\n", 0, ""},
          {"HSMaxPower = 2\nSSMaxPower = 904\n", 0, ""},
          {"HSMaxPower = 1\n", -1,
           "ERROR: HSMaxPower cannot be less than 2mA\nERROR: Max power should be even number\n"},
          {"HSMaxPower = 501\n", -1,
           "ERROR: HSMaxPower exceed 500mA\nERROR: Max power should be even number\n"},
          {"HSMaxPower = 499\n", -1, "ERROR: Max power should be even number\n"},
          {"HSMaxPower = 100\nSSMaxPower = 12\n", -1,
           "ERROR: Max power should be divisible by 8\n"},
          {"SSMaxPower = 8\n", -1, "ERROR: The field HSMaxPower is missing\n"},
          {"HSMaxPower = 1000\n", -1, "ERROR: Invalid HSMaxPower or out of range (2 - 500)\n"},
          {"SSMaxPower = -8\n", -1, "ERROR: Invalid SSMaxPower or out of range (8 - 896)\n"},
      });
}

}  // namespace
