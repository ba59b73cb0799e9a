// reply_proxy.h - a TCP proxy on 127.0.0.1 between a station and a database server's Unix socket
// that loses the reply to one chosen exchange (a request of the station and the server's answer
// to it, or the greeting of a server that speaks first on a connection): the way to test a reply
// lost at every point of a run. Runs on a thread of its own until it is destroyed, which closes
// every connection.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class ReplyProxy {
 public:
  enum class Fault {
    kDrop,  // the reply is thrown away and both sides are closed at once
    kHold,  // the reply, and everything after it on that connection, is kept back
    kAct,   // nothing is lost: an action is called right before the request goes on
  };

  // Forwards every connection made to port() to |server_socket|; port() is 0 when the proxy
  // could not listen.
  explicit ReplyProxy(std::string server_socket);
  ~ReplyProxy();
  ReplyProxy(const ReplyProxy&) = delete;
  ReplyProxy& operator=(const ReplyProxy&) = delete;

  int port() const { return port_; }
  // Loses the reply to exchange |number|, counted from 1 over all connections from now on among
  // the requests that hold |text| (all when empty); 0 loses none (and still counts).
  void LoseReply(int number, Fault fault, std::string text = "");
  // Calls |action| on the proxy's thread right before the request of exchange |number| (among
  // those that hold |text|) goes on to the server.
  void ActBefore(int number, std::string text, std::function<void()> action);
  // The exchanges counted since the last LoseReply.
  int exchanges() const { return exchanges_; }
  // The chosen reply was lost (the action called).
  bool lost() const { return lost_; }

 private:
  void Serve();

  std::string server_socket_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<int> target_{0};
  std::atomic<Fault> fault_{Fault::kDrop};
  std::atomic<int> exchanges_{0};
  std::atomic<int> matched_{0};
  // Set only while the station makes no request.
  std::string text_;
  std::function<void()> action_;
  std::atomic<bool> lost_{false};
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};
