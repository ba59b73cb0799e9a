// state_file.h - an adapter's state on disk: one text file per adapter, "adapter<N>.state" in the
// emulator directory, versioned, one "key value..." line per field, replaced atomically.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emu/adapter_state.h"

namespace emu {

constexpr char kStateHeader[] = "qnt5200-emu-state 1";

std::string FormatAdapterState(const AdapterState& state);
// False with a message in |*error| ("line N: ...") when |text| is not a state of this version.
bool ParseAdapterState(const std::string& text, AdapterState* state, std::string* error);

std::string AdapterPath(const std::string& directory, uint32_t index);
// The indices of the adapters in |directory|, ascending; empty when there are none or the
// directory does not exist.
std::vector<uint32_t> ListAdapters(const std::string& directory);

// 0, or kErrorFileNotFound when the adapter does not exist, or kErrorAccessDenied when its
// state cannot be read or is not valid (|*error| says why).
uint32_t LoadAdapter(const std::string& directory, uint32_t index, AdapterState* state,
                     std::string* error = nullptr);
bool SaveAdapter(const std::string& directory, const AdapterState& state);
bool RemoveAdapter(const std::string& directory, uint32_t index);

}  // namespace emu
