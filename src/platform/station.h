// station.h - the name of the machine a run is on, for the record that several stations share.
#pragma once

#include <string>

// The host name, or "" when the system cannot tell it.
std::string StationName();
