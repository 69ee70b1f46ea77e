// The adapter's conversation with one client over a pair of file descriptors
// (standard input and output, or one socket for both). A thread of its own
// reads and frames the client's bytes, so a request that comes during a run
// (a pause above all) is seen when the run loop yields; everything else, and
// every write, happens on the caller's thread.
#pragma once

#include <cstdint>
#include <string>

namespace hc11::dap {

// Serves until the client disconnects or closes its side.
void Serve(int inFd, int outFd);

// A listening TCP socket on `address` (dotted IPv4) and `port` (0: any free
// one); -1 with a one-line `error`. `port` is set to the port bound.
int ListenTcp(const std::string& address, std::uint16_t& port, std::string& error);
// Waits for one client; -1 when accepting failed.
int AcceptClient(int listener);

}  // namespace hc11::dap
