// network_services.h - the services only the network tests use, handed to them as one group.
#pragma once

#include "platform/ip_helper.h"
#include "platform/names.h"
#include "platform/process.h"
#include "platform/sockets.h"

struct NetworkServices {
  Sockets& sockets;
  Names& names;
  IpHelper& ip_helper;
  Process& process;
};
