// win32_names.cpp - dotted-quad parsing, host-name lookup and numeric host text through ws2_32.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on

#include <cstring>

#include "platform/win32/win32_network.h"

bool Win32Names::ParseDottedQuad(const char* text, Ip4Address* address) {
  in_addr parsed{};
  if (inet_pton(AF_INET, text, &parsed) != 1) return false;
  std::memcpy(address->octets, &parsed, sizeof address->octets);
  return true;
}

bool Win32Names::ResolveHost(const char* name, Ip4Address* address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* result = nullptr;
  if (getaddrinfo(name, nullptr, &hints, &result) != 0 || result == nullptr) return false;
  const auto* found = reinterpret_cast<const sockaddr_in*>(result->ai_addr);
  std::memcpy(address->octets, &found->sin_addr, sizeof address->octets);
  freeaddrinfo(result);
  return true;
}

bool Win32Names::NumericHost(const Ip4Address& address, char* text, size_t capacity) {
  sockaddr_in socket_address{};
  socket_address.sin_family = AF_INET;
  std::memcpy(&socket_address.sin_addr, address.octets, sizeof address.octets);
  return getnameinfo(reinterpret_cast<const sockaddr*>(&socket_address), sizeof socket_address,
                     text, static_cast<DWORD>(capacity), nullptr, 0, NI_NUMERICHOST) == 0;
}
