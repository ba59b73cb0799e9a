// adapter_list.h - the adapters a rig runs on, as the operator names them: indices and ranges
// separated by commas ("0-3,6"), or "all" of those the driver serves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The indices |text| names, ascending and each once. "all" names |served|. False with |*why|
// for a text that names none or is no list (a range running backwards, an index past 15).
bool ParseAdapterList(const std::string& text, const std::vector<uint32_t>& served,
                      std::vector<uint32_t>* adapters, std::string* why);
