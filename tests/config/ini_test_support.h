// ini_test_support.h - loading INI texts from memory in the configuration tests.
#pragma once

#include <string>

#include "config/device_settings.h"
#include "config/ini_loader.h"
#include "config/ini_state.h"
#include "support/capture_console.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

struct IniRun {
  int result = 0;
  std::string output;
  DeviceSettings settings;
  IniState state;
};

// Loads |text| as the INI file "board.ini" into cleared settings and state.
inline IniRun LoadIniText(const std::string& text) {
  IniRun run;
  CaptureConsole console;
  run.result = LoadIniText("board.ini", text.data(), text.size(), run.settings, run.state, console);
  run.output = console.TakeOutput();
  return run;
}

// What ValidateIniSections prints for a file without any required section, in its order.
inline constexpr char kAllMissing[] =
    "ERROR: Missing [MacAddress] section in the ini file\n"
    "ERROR: Missing [SerialNumber] section in the ini file\n"
    "ERROR: Missing [String] section in the ini file\n"
    "ERROR: Missing [ID] section in the ini file\n"
    "ERROR: Missing [Power] section in the ini file\n"
    "ERROR: Missing [GPIOPME0] section in the ini file\n"
    "ERROR: Missing [GPIOPME1] section in the ini file\n"
    "ERROR: Missing [LEDConfig0] section in the ini file\n"
    "ERROR: Missing [LEDConfig1] section in the ini file\n"
    "ERROR: Missing [LEDConfig2] section in the ini file\n"
    "ERROR: Missing [LEDBehaviorConfig] section in the ini file\n"
    "ERROR: Missing [GPIOConfig] section in the ini file\n"
    "ERROR: Missing [ConfigFlags0] section in the ini file\n"
    "ERROR: Missing [PMEWUFConfiguration] section in the ini file\n"
    "ERROR: Missing [InterruptPollInterval] section in the ini file\n";

// Every required section, valid and complete; tests replace one section to probe it.
inline const char kValidSections[] =
    "[MacAddress]\n"
    "CurrentMacAddress = 00:11:22:33:44:55\n"
    "MaximumMacAddress = 00:11:22:33:FF:FF\n"
    "MacAddressIncrement = 1\n"
    "[SerialNumber]\n"
    "CurrentSerialNumber = 0001\n"
    "MaximumSerialNumber = FFFF\n"
    "SerialNumberIncrement = 1\n"
    "[String]\n"
    "ManufacturerEnable = 0\n"
    "ProductEnable = 0\n"
    "ConfigurationEnable = 0\n"
    "InterfaceEnable = 0\n"
    "[ID]\n"
    "VendorID = 0x0E1D\n"
    "ProductID = 0x5230\n"
    "BcdDevice = 0100\n"
    "[Power]\n"
    "HSMaxPower = 500\n"
    "[GPIOPME0]\n"
    "GPIOPMEEnable = 0\nGPIOPMEConfiguration = 0\nGPIOPMELength = 0\nGPIOPMEPolarity = 0\n"
    "GPIOBufferType = 0\nGPIOPMEWOLSelect = 0\nPMEMagicPacketEnable = 1\nPMEPerfectDAEnable = 0\n"
    "[GPIOPME1]\n"
    "GPIOConnectBufferType = 0\nGPIOConnectEnable = 0\nGPIOConnectPolarity = 0\nPMEWUFFEnable = 0\n"
    "[LEDConfig0]\n"
    "LED3Enable = 0\nLED2Enable = 0\nLED1Enable = 1\nLED0Enable = 1\n"
    "[LEDConfig1]\n"
    "LED1Function = 1\nLED0Function = 0\n"
    "[LEDConfig2]\n"
    "LED3Function = 0\nLED2Function = 0\n"
    "[LEDBehaviorConfig]\n"
    "LEDBehavior = 0x0000\n"
    "[GPIOConfig]\n"
    "GPIOEnable = 0x000\nGPIOBuffer = 0x000\nGPIODirection = 0x000\nGPIOData = 0x000\n"
    "GPIOWake = 0x000\nGPIOWakePolarity = 0x000\n"
    "[InterruptPollInterval]\n"
    "FSPollInterval = 1\nHSPollInterval = 4\n"
    "[PMEWUFConfiguration]\n"
    "FilterAddressType = 0\nFilterPatternOffset = 0\nFilterMaskPattern = 00\n"
    "[ConfigFlags0]\n"
    "SWModeSuspendNSelect = 0\nSWModePolarity = 0\nRemoteWakeupEnable = 1\nSelfPower = 0\n";
