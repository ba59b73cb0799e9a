// win32_sockets.cpp - raw IPv4 sockets, select and SIO_RCVALL through ws2_32.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>
// clang-format on

#include <cstring>

#include "platform/win32/win32_network.h"

namespace {

SOCKET Native(SocketHandle socket) { return static_cast<SOCKET>(socket); }

sockaddr_in SocketAddress(const Ip4Address& address) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = 0;
  std::memcpy(&result.sin_addr, address.octets, sizeof address.octets);
  return result;
}

}  // namespace

int Win32Sockets::Startup(uint16_t version) {
  WSADATA data;
  return WSAStartup(version, &data);
}

void Win32Sockets::Cleanup() { WSACleanup(); }

SocketHandle Win32Sockets::OpenRaw(int protocol) {
  const SOCKET socket = WSASocketA(AF_INET, SOCK_RAW, protocol, nullptr, 0, 0);
  return socket == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(socket);
}

bool Win32Sockets::SetIpOption(SocketHandle socket, IpOption option, int value) {
  int name = 0;
  switch (option) {
    case IpOption::kTimeToLive:
      name = IP_TTL;
      break;
    case IpOption::kTypeOfService:
      name = IP_TOS;
      break;
    default:
      WSASetLastError(WSAENOPROTOOPT);
      return false;
  }
  return setsockopt(Native(socket), IPPROTO_IP, name, reinterpret_cast<const char*>(&value),
                    sizeof value) != SOCKET_ERROR;
}

bool Win32Sockets::Bind(SocketHandle socket, const Ip4Address& address) {
  const sockaddr_in local = SocketAddress(address);
  return bind(Native(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) !=
         SOCKET_ERROR;
}

int Win32Sockets::SendTo(SocketHandle socket, const uint8_t* data, int length,
                         const Ip4Address& to) {
  const sockaddr_in destination = SocketAddress(to);
  const int sent = sendto(Native(socket), reinterpret_cast<const char*>(data), length, 0,
                          reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
  return sent == SOCKET_ERROR ? -1 : sent;
}

bool Win32Sockets::WaitReadable(SocketHandle socket, uint32_t timeout_ms, bool* readable) {
  fd_set read_set;
  FD_ZERO(&read_set);
  FD_SET(Native(socket), &read_set);
  timeval timeout{.tv_sec = static_cast<long>(timeout_ms / 1000),
                  .tv_usec = static_cast<long>(timeout_ms % 1000) * 1000};
  const int ready = select(0, &read_set, nullptr, nullptr, &timeout);
  if (ready == SOCKET_ERROR) return false;
  *readable = ready > 0;
  return true;
}

int Win32Sockets::ReceiveFrom(SocketHandle socket, uint8_t* buffer, int capacity,
                              Ip4Address* from) {
  sockaddr_in sender{};
  int sender_length = sizeof sender;
  const int received = recvfrom(Native(socket), reinterpret_cast<char*>(buffer), capacity, 0,
                                reinterpret_cast<sockaddr*>(&sender), &sender_length);
  if (received == SOCKET_ERROR) return -1;
  std::memcpy(from->octets, &sender.sin_addr, sizeof from->octets);
  return received;
}

bool Win32Sockets::ReceiveAll(SocketHandle socket, bool on) {
  DWORD value = on ? RCVALL_ON : RCVALL_OFF;
  DWORD returned = 0;
  return WSAIoctl(Native(socket), SIO_RCVALL, &value, sizeof value, nullptr, 0, &returned, nullptr,
                  nullptr) != SOCKET_ERROR;
}

void Win32Sockets::Close(SocketHandle socket) { closesocket(Native(socket)); }
