// win32_exchange_watch.cpp - the exchange watch on Windows: the driver's own timeouts bound the
// exchange (the login timeout, the query timeout, and the TCP keep-alive of the connection);
// the connection's sockets are not cut here.
#include "platform/exchange_watch.h"

struct ExchangeWatch::State {};

ExchangeWatch::ExchangeWatch() : state_(std::make_unique<State>()) {}
ExchangeWatch::~ExchangeWatch() = default;
void ExchangeWatch::BeforeConnect() {}
void ExchangeWatch::AfterConnect() {}
void ExchangeWatch::Forget() {}
void ExchangeWatch::Arm(uint32_t /*milliseconds*/) {}
bool ExchangeWatch::Disarm() { return false; }
