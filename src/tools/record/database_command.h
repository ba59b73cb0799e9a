// database_command.h - qnt5200-record's commands on a database record: init, summary, check,
// import and export, each over one connection.
#pragma once

#include <string>

#include "tools/record/record_command.h"

// Runs |command| on the database |connection| names. Returns the tool's exit code.
int RunDatabaseCommand(const RecordCommand& command, const std::string& connection);
