// ini_state.h - what the configuration-file reader remembers during one run: the state of each
// key checked after its section, and which required sections were read without a message.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "config/ini_problem.h"

enum class KeyState : uint8_t { kAbsent = 0, kValid = 1, kInvalid = 2 };

// Cleared once per run (state = IniState{}); kept across sections, so a section read twice still
// counts the keys given in its first occurrence.
struct IniState {
  // [MacAddress]
  KeyState CurrentMacAddress = KeyState::kAbsent;
  KeyState MaximumMacAddress = KeyState::kAbsent;
  KeyState MacAddressIncrement = KeyState::kAbsent;
  // [SerialNumber]
  KeyState CurrentSerialNumber = KeyState::kAbsent;
  KeyState MaximumSerialNumber = KeyState::kAbsent;
  KeyState SerialNumberIncrement = KeyState::kAbsent;
  // [String]: the strings as given, the enable digits and their values (not part of the record)
  KeyState ManufacturerString = KeyState::kAbsent;
  KeyState ProductString = KeyState::kAbsent;
  KeyState ConfigurationString = KeyState::kAbsent;
  KeyState InterfaceString = KeyState::kAbsent;
  KeyState ManufacturerEnable = KeyState::kAbsent;
  KeyState ProductEnable = KeyState::kAbsent;
  KeyState ConfigurationEnable = KeyState::kAbsent;
  KeyState InterfaceEnable = KeyState::kAbsent;
  int32_t ManufacturerEnableValue = 0;
  int32_t ProductEnableValue = 0;
  int32_t ConfigurationEnableValue = 0;
  int32_t InterfaceEnableValue = 0;
  // [ID]
  KeyState VendorID = KeyState::kAbsent;
  KeyState ProductID = KeyState::kAbsent;
  KeyState BcdDevice = KeyState::kAbsent;
  // [Power]
  KeyState SSMaxPower = KeyState::kAbsent;
  KeyState HSMaxPower = KeyState::kAbsent;
  // [GPIOPME0]
  KeyState GPIOPMEEnable = KeyState::kAbsent;
  KeyState GPIOPMEConfiguration = KeyState::kAbsent;
  KeyState GPIOPMELength = KeyState::kAbsent;
  KeyState GPIOPMEPolarity = KeyState::kAbsent;
  KeyState GPIOBufferType = KeyState::kAbsent;
  KeyState GPIOPMEWOLSelect = KeyState::kAbsent;
  KeyState PMEMagicPacketEnable = KeyState::kAbsent;
  KeyState PMEPerfectDAEnable = KeyState::kAbsent;
  // [GPIOPME1]
  KeyState GPIOConnectBufferType = KeyState::kAbsent;
  KeyState GPIOConnectEnable = KeyState::kAbsent;
  KeyState GPIOConnectPolarity = KeyState::kAbsent;
  KeyState PMEWUFFEnable = KeyState::kAbsent;
  // [LEDConfig0]
  KeyState LED3Enable = KeyState::kAbsent;
  KeyState LED2Enable = KeyState::kAbsent;
  KeyState LED1Enable = KeyState::kAbsent;
  KeyState LED0Enable = KeyState::kAbsent;
  // [LEDConfig1], [LEDConfig2]
  KeyState LED1Function = KeyState::kAbsent;
  KeyState LED0Function = KeyState::kAbsent;
  KeyState LED3Function = KeyState::kAbsent;
  KeyState LED2Function = KeyState::kAbsent;
  // [LEDBehaviorConfig]
  KeyState LEDBehavior = KeyState::kAbsent;
  // [GPIOConfig]
  KeyState GPIOEnable = KeyState::kAbsent;
  KeyState GPIOBuffer = KeyState::kAbsent;
  KeyState GPIODirection = KeyState::kAbsent;
  KeyState GPIOData = KeyState::kAbsent;
  KeyState GPIOWake = KeyState::kAbsent;
  KeyState GPIOWakePolarity = KeyState::kAbsent;
  // [InterruptPollInterval]
  KeyState FSPollInterval = KeyState::kAbsent;
  KeyState HSPollInterval = KeyState::kAbsent;
  KeyState SSPollInterval = KeyState::kAbsent;
  // [PMEWUFConfiguration]
  KeyState FilterAddressType = KeyState::kAbsent;
  KeyState FilterPatternOffset = KeyState::kAbsent;
  KeyState FilterCRC = KeyState::kAbsent;
  KeyState FilterMaskPattern = KeyState::kAbsent;
  // [ConfigFlags0]
  KeyState SWModeSuspendNSelect = KeyState::kAbsent;
  KeyState SWModePolarity = KeyState::kAbsent;
  KeyState RemoteWakeupEnable = KeyState::kAbsent;
  KeyState SelfPower = KeyState::kAbsent;
  KeyState ConfigFlags0Override = KeyState::kAbsent;

  // Section-present flags of the 15 required sections.
  bool MacAddressSectionPresent = false;
  bool SerialNumberSectionPresent = false;
  bool StringSectionPresent = false;
  bool IDSectionPresent = false;
  bool PowerSectionPresent = false;
  bool GPIOPME0SectionPresent = false;
  bool GPIOPME1SectionPresent = false;
  bool LEDConfig0SectionPresent = false;
  bool LEDConfig1SectionPresent = false;
  bool LEDConfig2SectionPresent = false;
  bool LEDBehaviorConfigSectionPresent = false;
  bool GPIOConfigSectionPresent = false;
  bool InterruptPollIntervalSectionPresent = false;
  bool PMEWUFConfigurationSectionPresent = false;
  bool ConfigFlags0SectionPresent = false;

  // The file as the messages name it, the places of its faults in the order found, and where
  // each key's last value stood.
  std::string file_name;
  std::vector<IniProblem> problems;
  IniKeyPlaces key_places;
  // Why the file could not be read, in the system's words; empty when it was read.
  std::string unread_reason;
};
