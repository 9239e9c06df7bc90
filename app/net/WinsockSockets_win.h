// NetSockets over Winsock, driven by WSAAsyncSelect: every socket reports accept, read, write
// and close events as a message to a message-only window of this object, on the thread that
// created it (the GUI thread). The window's handler calls onEvent (the server's Pump), so the
// server works without a thread, without polling and without blocking; modal loops keep it
// going, since they dispatch the same messages.
#pragma once

// Winsock itself stays inside the .cpp, so that any file may include this header after
// <windows.h>.
#include <windows.h>

#include <functional>
#include <string>

#include "app/net/NetSockets.h"

namespace pelmora::net {

class WinsockSockets final : public NetSockets {
 public:
  WinsockSockets();
  ~WinsockSockets() override;
  WinsockSockets(const WinsockSockets&) = delete;
  WinsockSockets& operator=(const WinsockSockets&) = delete;

  // False when Winsock or the window could not be set up; every Listen then fails.
  bool Ready() const { return started_ && window_ != nullptr; }
  // Called for every socket event, from the message loop.
  void SetEventHandler(std::function<void()> onEvent) { onEvent_ = std::move(onEvent); }

  SocketId Listen(const std::string& address, uint16_t port, std::string& reason) override;
  IoResult Accept(SocketId listener, SocketId* client) override;
  IoResult Receive(SocketId socket, char* buffer, std::size_t size, std::size_t* got) override;
  IoResult Send(SocketId socket, const char* data, std::size_t size, std::size_t* sent) override;
  void Close(SocketId socket) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  bool started_ = false;
  HWND window_ = nullptr;
  std::function<void()> onEvent_;
};

// Seconds since 1970, UTC, from the system clock.
double SystemUtcNow();
// The system clock's UTC time as gpsd writes it: "2026-12-08T10:54:56.000Z".
std::string SystemUtcIso();

}  // namespace pelmora::net
