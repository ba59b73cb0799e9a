// record_identity.h - what the database record's rows say of one identity. Nothing a station
// writes is ever changed, so the state is read, not stored: the run that claimed the MAC address,
// the chain of reworks that took it over since (each naming the run before it), and their lines.
// Once a run of the chain programmed a board, the identity stays programmed whatever rows follow.
#pragma once

#include <string>

#include "platform/database.h"
#include "record/record_store.h"

// Fills |*owner| (kFree when nothing claims |mac_address|); |*last_run| is the run that holds it
// last, the one a rework takes over. False when a query failed.
bool ReadMacIdentity(Database& database, const std::string& mac_address, IdentityOwner* owner,
                     std::string* last_run);

// The same for a stepped serial number: the state of the identity it was reserved with (a serial
// number reserved without a MAC address counts as reserved).
bool ReadSerialIdentity(Database& database, const std::string& serial_number, IdentityOwner* owner);
