// WinsockSockets. Sockets handed to WSAAsyncSelect are non-blocking; accepted ones get their own
// selection (read, write, close). A notification only says "look again": the server's Pump
// tries every socket, so a lost or merged notification costs nothing.
// Winsock 2 before anything that includes <windows.h>.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "app/net/WinsockSockets_win.h"

#include <algorithm>
#include <cstdio>

namespace pelmora::net {
namespace {

constexpr UINT kSocketMessage = WM_APP + 0x4E7;
constexpr char kWindowClass[] = "PelmoraFixServerSockets";

std::string Reason(int error) {
  switch (error) {
    case WSAEADDRINUSE:
      return "the port is in use by another program";
    case WSAEACCES:
      return "access to the port is refused";
    case WSAEADDRNOTAVAIL:
      return "the address does not belong to this computer";
    default:
      return "Winsock error " + std::to_string(error);
  }
}

SOCKET AsSocket(SocketId id) {
  return static_cast<SOCKET>(id);
}

}  // namespace

WinsockSockets::WinsockSockets() {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kWindowClass;
  RegisterClassA(&wc);  // fails harmlessly when already registered
  window_ =
      CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (window_ != nullptr)
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinsockSockets::~WinsockSockets() {
  if (window_ != nullptr) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  if (started_) WSACleanup();
}

LRESULT CALLBACK WinsockSockets::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kSocketMessage) {
    auto* self = reinterpret_cast<WinsockSockets*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    try {
      if (self != nullptr && self->onEvent_) self->onEvent_();
    } catch (...) {
      // Nothing may leave a window procedure; the next event tries again.
    }
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

SocketId WinsockSockets::Listen(const std::string& address, uint16_t port, std::string& reason) {
  if (!Ready()) {
    reason = "Winsock is not available";
    return kNoSocket;
  }
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1) {
    reason = "\"" + address + "\" is not an IPv4 address";
    return kNoSocket;
  }
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) {
    reason = Reason(WSAGetLastError());
    return kNoSocket;
  }
  // No other program may share the port with us, nor we with it.
  BOOL exclusive = TRUE;
  setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
             sizeof exclusive);
  if (bind(s, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
      listen(s, SOMAXCONN) != 0 ||
      WSAAsyncSelect(s, window_, kSocketMessage, FD_ACCEPT | FD_CLOSE) != 0) {
    reason = Reason(WSAGetLastError());
    closesocket(s);
    return kNoSocket;
  }
  return static_cast<SocketId>(s);
}

IoResult WinsockSockets::Accept(SocketId listener, SocketId* client) {
  const SOCKET s = accept(AsSocket(listener), nullptr, nullptr);
  if (s == INVALID_SOCKET)
    return WSAGetLastError() == WSAEWOULDBLOCK ? IoResult::WouldBlock : IoResult::Failed;
  // Reports go out as they are written, not gathered by Nagle's algorithm.
  BOOL noDelay = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
  if (WSAAsyncSelect(s, window_, kSocketMessage, FD_READ | FD_WRITE | FD_CLOSE) != 0) {
    closesocket(s);
    return IoResult::Failed;
  }
  *client = static_cast<SocketId>(s);
  return IoResult::Done;
}

IoResult WinsockSockets::Receive(SocketId socket, char* buffer, std::size_t size,
                                 std::size_t* got) {
  *got = 0;
  const int n =
      recv(AsSocket(socket), buffer, static_cast<int>(std::min<std::size_t>(size, 1 << 20)), 0);
  if (n > 0) {
    *got = static_cast<std::size_t>(n);
    return IoResult::Done;
  }
  if (n == 0) return IoResult::Closed;
  return WSAGetLastError() == WSAEWOULDBLOCK ? IoResult::WouldBlock : IoResult::Failed;
}

IoResult WinsockSockets::Send(SocketId socket, const char* data, std::size_t size,
                              std::size_t* sent) {
  *sent = 0;
  const int n =
      send(AsSocket(socket), data, static_cast<int>(std::min<std::size_t>(size, 1 << 20)), 0);
  if (n >= 0) {
    *sent = static_cast<std::size_t>(n);
    return IoResult::Done;
  }
  return WSAGetLastError() == WSAEWOULDBLOCK ? IoResult::WouldBlock : IoResult::Failed;
}

void WinsockSockets::Close(SocketId socket) {
  const SOCKET s = AsSocket(socket);
  WSAAsyncSelect(s, window_, 0, 0);  // no more events for it
  shutdown(s, SD_SEND);
  closesocket(s);
}

double SystemUtcNow() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  // FILETIME counts 100 ns from 1601-01-01; 1970 is 11644473600 s later.
  return static_cast<double>(ticks) / 1e7 - 11644473600.0;
}

std::string SystemUtcIso() {
  SYSTEMTIME t;
  GetSystemTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", t.wYear, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  return text;
}

}  // namespace pelmora::net
