// names.h - the name service of Windows Sockets: dotted-quad texts, host names and the numeric
// text of an address.
#pragma once

#include <cstddef>

#include "platform/sockets.h"

class Names {
 public:
  virtual ~Names() = default;

  // True when |text| is a dotted-quad IPv4 address; it is then stored in |*address|.
  virtual bool ParseDottedQuad(const char* text, Ip4Address* address) = 0;
  // The first IPv4 address the host name |name| resolves to.
  virtual bool ResolveHost(const char* name, Ip4Address* address) = 0;
  // The numeric host text of |address| (name-info lookup with the numeric-host flag) into
  // |text| of |capacity| bytes.
  virtual bool NumericHost(const Ip4Address& address, char* text, size_t capacity) = 0;
};
