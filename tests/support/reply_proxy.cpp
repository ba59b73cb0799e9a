// reply_proxy.cpp - the lossy proxy: one poll loop over every connection. An exchange begins when
// the station sends after the server has answered (or first on a connection), or when the server
// speaks first on a connection (its greeting, the reply to the connection itself).
#include "support/reply_proxy.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string_view>
#include <vector>

namespace {

struct Link {
  int station = -1;
  int server = -1;
  bool answered = true;  // the server spoke last: the station's next bytes begin an exchange
  int exchange = 0;      // the number of the exchange under way (0 before any, -1 one not counted)
  bool held = false;     // the server's bytes are kept back from here on
};

int ConnectTo(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  if (fd >= 0 && connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    return fd;
  }
  if (fd >= 0) close(fd);
  return -1;
}

void Close(Link* link) {
  if (link->station >= 0) close(link->station);
  if (link->server >= 0) close(link->server);
  link->station = link->server = -1;
}

bool SendAll(int fd, const char* data, ssize_t count) {
  while (count > 0) {
    const ssize_t sent = send(fd, data, static_cast<size_t>(count), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data += sent;
    count -= sent;
  }
  return true;
}

}  // namespace

ReplyProxy::ReplyProxy(std::string server_socket) : server_socket_(std::move(server_socket)) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 ||
      bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listener_ >= 0) close(listener_);
    listener_ = -1;
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

ReplyProxy::~ReplyProxy() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

void ReplyProxy::LoseReply(int number, Fault fault, std::string text) {
  target_ = 0;
  text_ = std::move(text);
  fault_ = fault;
  exchanges_ = 0;
  matched_ = 0;
  lost_ = false;
  target_ = number;
}

void ReplyProxy::ActBefore(int number, std::string text, std::function<void()> action) {
  LoseReply(0, Fault::kAct, std::move(text));
  action_ = std::move(action);
  target_ = number;
}

void ReplyProxy::Serve() {
  std::vector<Link> links;
  char buffer[16384];
  while (!stopping_) {
    std::vector<pollfd> polled{{listener_, POLLIN, 0}};
    for (const Link& link : links) {
      polled.push_back({link.station, POLLIN, 0});
      polled.push_back({link.server, POLLIN, 0});
    }
    if (poll(polled.data(), polled.size(), 50) <= 0) continue;
    const size_t polled_links = links.size();
    if ((polled[0].revents & POLLIN) != 0) {
      Link link;
      link.station = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      link.server = ConnectTo(server_socket_);
      if (link.station >= 0 && link.server >= 0) {
        links.push_back(link);
      } else {
        Close(&link);
      }
    }
    for (size_t i = 0; i < polled_links; ++i) {
      Link& link = links[i];
      if ((polled[1 + 2 * i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        const ssize_t count = recv(link.station, buffer, sizeof buffer, 0);
        if (count <= 0) {
          Close(&link);
          continue;
        }
        if (link.answered) {
          ++exchanges_;
          link.exchange = -1;
          link.answered = false;
        }
        // A request that gets no reply (closing a statement) may go first in the same exchange:
        // the exchange is the one that holds |text| as soon as any of its requests does.
        if (link.exchange == -1 &&
            (text_.empty() || std::string_view(buffer, static_cast<size_t>(count)).find(text_) !=
                                  std::string_view::npos)) {
          link.exchange = ++matched_;
          if (fault_ == Fault::kAct && link.exchange == target_ && !lost_) {
            lost_ = true;
            action_();
          }
        }
        if (!SendAll(link.server, buffer, count)) Close(&link);
      }
      if (link.server >= 0 && (polled[2 + 2 * i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        const ssize_t count = recv(link.server, buffer, sizeof buffer, 0);
        if (count <= 0) {
          Close(&link);
          continue;
        }
        if (link.exchange == 0) {
          // The server speaks first on this connection (a greeting): its opening is an exchange.
          ++exchanges_;
          link.exchange = text_.empty() ? ++matched_ : -1;
        }
        link.answered = true;
        if (fault_ != Fault::kAct && target_ > 0 && !link.held && !lost_ &&
            link.exchange == target_) {
          lost_ = true;
          if (fault_ == Fault::kDrop) {
            Close(&link);
            continue;
          }
          link.held = true;
        }
        if (!link.held && !SendAll(link.station, buffer, count)) Close(&link);
      }
    }
    std::erase_if(links, [](const Link& link) { return link.station < 0; });
  }
  for (Link& link : links) Close(&link);
}
