// eeprom_stage.cpp - transitional: reading and programming the EEPROM are not built yet.
#include "nvm/eeprom_stage.h"

int SettleEepromSize(Driver&, CommandOptions&) { return 0; }

StepResult RunEepromStage(Driver&, CommandOptions&, IniState&, char*) { return {}; }
