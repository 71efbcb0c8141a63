#pragma once

#include <winsock2.h>
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "escpos_printer.h"

// A receipt printer on 127.0.0.1:9100, played by the test: it takes connections, answers the
// requests on each as its case says and records what each brought to print; or, silent, it
// answers no connection request at all.
namespace dunlith::testing {

class LoopbackPrinter {
 public:
  enum class Mode { kReading, kSilent };

  // kReading: a printer that answers nothing; kSilent: nobody takes the connection.
  explicit LoopbackPrinter(Mode mode);
  // A printer that answers like |behaviour|, on |port| (0: any free one).
  explicit LoopbackPrinter(const PrinterCase& behaviour, std::uint16_t port = 9100);
  LoopbackPrinter(const LoopbackPrinter&) = delete;
  LoopbackPrinter& operator=(const LoopbackPrinter&) = delete;
  ~LoopbackPrinter();

  bool Listening() const { return listener_ != INVALID_SOCKET; }
  std::uint16_t port() const { return port_; }
  // Waits until |count| connections have ended; what each of them brought to print.
  std::vector<std::vector<std::uint8_t>> WaitForConnections(std::size_t count, DWORD milliseconds);
  // The requests that came, over all connections, as "DLE EOT 1" or "GS I 67".
  std::vector<std::string> Requests();

 private:
  void Listen(std::uint16_t port, int backlog);
  void Serve();
  void ServeConnection(SOCKET peer);

  PrinterCase behaviour_;
  SOCKET listener_ = INVALID_SOCKET;
  std::uint16_t port_ = 0;
  std::vector<SOCKET> fillers_;
  std::thread server_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::vector<std::uint8_t>> connections_;
  std::vector<std::string> requests_;
  bool stopping_ = false;
};

}  // namespace dunlith::testing
