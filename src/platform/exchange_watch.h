// exchange_watch.h - the station's own bound on an exchange with a database server. A stopped
// server's kernel still acknowledges every packet, and a statement timeout is applied by the
// server, so neither TCP nor the driver ends the wait: the watch cuts the connection's sockets
// once the deadline has passed, and the driver's blocked call returns with a communication error.
#pragma once

#include <cstdint>
#include <memory>

class ExchangeWatch {
 public:
  ExchangeWatch();
  ~ExchangeWatch();
  ExchangeWatch(const ExchangeWatch&) = delete;
  ExchangeWatch& operator=(const ExchangeWatch&) = delete;

  // Around the driver's connect: the sockets opened in between are the connection's (a login
  // whose deadline passes is cut on those it has opened so far).
  void BeforeConnect();
  void AfterConnect();
  // The connection is gone: its sockets are no longer the watch's to cut.
  void Forget();

  // Starts (or restarts) the deadline of an exchange, |milliseconds| from now.
  void Arm(uint32_t milliseconds);
  // Ends the exchange; true when its deadline passed and the connection was cut.
  bool Disarm();

 private:
  struct State;
  std::unique_ptr<State> state_;
};
