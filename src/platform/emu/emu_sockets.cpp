// emu_sockets.cpp - raw sockets on the emulated wires. A packet sent from an adapter's address
// reaches its peers or its loopback plug; what comes back waits in the receiving sockets until
// its time on the adapters' clock, and a wait moves that clock as a sleep does.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/emu/emu_network.h"

namespace {

constexpr uint16_t kVersion22 = 0x0202;
constexpr uint32_t kErrorVersionNotSupported = 10092;  // WSAVERNOTSUPPORTED
constexpr uint32_t kErrorNotInitialised = 10093;       // WSANOTINITIALISED
constexpr uint32_t kErrorNotSocket = 10038;            // WSAENOTSOCK
constexpr uint32_t kErrorInvalid = 10022;              // WSAEINVAL
constexpr uint32_t kErrorMessageSize = 10040;          // WSAEMSGSIZE
constexpr uint32_t kErrorAddressNotAvailable = 10049;  // WSAEADDRNOTAVAIL
constexpr uint32_t kErrorNetworkUnreachable = 10051;   // WSAENETUNREACH
constexpr uint32_t kErrorNoProtocolOption = 10042;     // WSAENOPROTOOPT
constexpr int kMaxByteOption = 255;                    // time to live and type of service

emu::Ip4 ToEmu(const Ip4Address& address) {
  return {address.octets[0], address.octets[1], address.octets[2], address.octets[3]};
}

// The adapter whose host address is |address|, with the lookups of the run so far.
emu::AdapterState* AdapterWithAddress(EmuNetState& state, const emu::Ip4& address) {
  for (auto& [index, adapter] : state.machine.adapters()) {
    emu::Ip4 own{};
    if (emu::HostAddress(adapter, std::max(state.lookups, 1u), &own) && own == address) {
      return &adapter;
    }
  }
  return nullptr;
}

}  // namespace

EmuNetState::Socket* EmuSockets::Find(SocketHandle socket, const char* call) {
  if (state_.started == 0) {
    state_.Refuse(kErrorNotInitialised, std::string(call) + " without WSAStartup");
    return nullptr;
  }
  const auto found = state_.sockets.find(socket);
  if (found == state_.sockets.end()) {
    state_.Refuse(kErrorNotSocket, std::string(call) + " on socket " + std::to_string(socket) +
                                       ", which is not open");
    return nullptr;
  }
  return &found->second;
}

int EmuSockets::Startup(uint16_t version) {
  if (version != kVersion22) return static_cast<int>(kErrorVersionNotSupported);
  ++state_.started;
  return 0;
}

void EmuSockets::Cleanup() {
  if (state_.started == 0) {
    state_.Refuse(kErrorNotInitialised, "WSACleanup without WSAStartup");
    return;
  }
  --state_.started;
}

SocketHandle EmuSockets::OpenRaw(int protocol) {
  if (state_.started == 0) {
    state_.Refuse(kErrorNotInitialised, "socket without WSAStartup");
    return kNoSocket;
  }
  const SocketHandle handle = state_.next_socket++;
  state_.sockets[handle].protocol = protocol;
  return handle;
}

bool EmuSockets::SetIpOption(SocketHandle socket, IpOption option, int value) {
  if (Find(socket, "setsockopt") == nullptr) return false;
  switch (option) {
    case IpOption::kTimeToLive:
    case IpOption::kTypeOfService:
      if (value < 0 || value > kMaxByteOption) {
        state_.last_error = kErrorInvalid;
        return false;
      }
      return true;
  }
  state_.Refuse(kErrorNoProtocolOption, "setsockopt of IP option " +
                                            std::to_string(static_cast<int>(option)) +
                                            ", which the stack does not know");
  return false;
}

bool EmuSockets::Bind(SocketHandle socket, const Ip4Address& address) {
  EmuNetState::Socket* open = Find(socket, "bind");
  if (open == nullptr) return false;
  if (AdapterWithAddress(state_, ToEmu(address)) == nullptr) {
    state_.last_error = kErrorAddressNotAvailable;
    return false;
  }
  open->bound = true;
  open->local = ToEmu(address);
  return true;
}

void EmuSockets::Deliver(const emu::Arrival& arrival, const emu::Ip4& host) {
  for (auto& [handle, socket] : state_.sockets) {
    const bool captured = socket.receive_all && socket.bound && socket.local == host;
    const bool protocol = !socket.receive_all && socket.protocol == arrival.protocol;
    if (!captured && !protocol) continue;
    const auto later = std::upper_bound(
        socket.queue.begin(), socket.queue.end(), arrival.due_ms,
        [](int64_t due, const emu::Arrival& queued) { return due < queued.due_ms; });
    socket.queue.insert(later, arrival);
  }
}

int EmuSockets::SendTo(SocketHandle socket, const uint8_t* data, int length, const Ip4Address& to) {
  EmuNetState::Socket* open = Find(socket, "sendto");
  if (open == nullptr) return -1;
  const std::vector<uint8_t> payload(data, data + length);
  const int64_t now = state_.machine.NowMs();
  const int protocol = open->protocol;
  // Sent from the bound address, else from the first adapter with an address.
  emu::AdapterState* adapter = nullptr;
  emu::Ip4 host{};
  if (open->bound) {
    host = open->local;
    adapter = AdapterWithAddress(state_, host);
  } else {
    for (auto& [index, candidate] : state_.machine.adapters()) {
      if (emu::HostAddress(candidate, std::max(state_.lookups, 1u), &host)) {
        adapter = &candidate;
        break;
      }
    }
  }
  if (adapter == nullptr) {
    state_.last_error = kErrorNetworkUnreachable;
    return -1;
  }
  const std::vector<emu::Arrival> arrivals =
      protocol == 1 ? emu::AnswerEcho(*adapter, host, ToEmu(to), payload, now)
                    : emu::CaptureSent(*adapter, host, ToEmu(to), protocol, payload, now);
  for (const emu::Arrival& arrival : arrivals) Deliver(arrival, host);
  return length;
}

bool EmuSockets::WaitReadable(SocketHandle socket, uint32_t timeout_ms, bool* readable) {
  EmuNetState::Socket* open = Find(socket, "select");
  if (open == nullptr) return false;
  const int64_t now = state_.machine.NowMs();
  if (!open->queue.empty() && open->queue.front().due_ms <= now + timeout_ms) {
    const int64_t due = open->queue.front().due_ms;
    if (due > now) state_.machine.SleepMs(static_cast<uint32_t>(due - now));
    *readable = true;
    return true;
  }
  state_.machine.SleepMs(timeout_ms);
  *readable = false;
  return true;
}

int EmuSockets::ReceiveFrom(SocketHandle socket, uint8_t* buffer, int capacity, Ip4Address* from) {
  EmuNetState::Socket* open = Find(socket, "recvfrom");
  if (open == nullptr) return -1;
  if (open->queue.empty()) {
    state_.last_error = kErrorInvalid;  // would block for ever: no packet will come
    return -1;
  }
  const emu::Arrival arrival = open->queue.front();
  open->queue.pop_front();
  const int64_t now = state_.machine.NowMs();
  if (arrival.due_ms > now) state_.machine.SleepMs(static_cast<uint32_t>(arrival.due_ms - now));
  const int size = static_cast<int>(arrival.packet.size());
  std::memcpy(buffer, arrival.packet.data(), static_cast<size_t>(std::min(size, capacity)));
  std::copy(arrival.from.begin(), arrival.from.end(), from->octets);
  if (size > capacity) {
    state_.last_error = kErrorMessageSize;
    return -1;
  }
  return size;
}

bool EmuSockets::ReceiveAll(SocketHandle socket, bool on) {
  EmuNetState::Socket* open = Find(socket, "WSAIoctl(SIO_RCVALL)");
  if (open == nullptr) return false;
  if (!open->bound) {
    state_.last_error = kErrorInvalid;
    return false;
  }
  open->receive_all = on;
  return true;
}

void EmuSockets::Close(SocketHandle socket) {
  if (Find(socket, "closesocket") != nullptr) state_.sockets.erase(socket);
}
