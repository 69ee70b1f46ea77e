// One opener per kind of host port; OpenHostPort picks among them.
#pragma once

#include <memory>
#include <string>

#include "serial_link/host_port.h"

namespace hc11::serial {

std::unique_ptr<HostPort> OpenPtyPort(const std::string& link, std::string& error);
std::unique_ptr<HostPort> OpenTcpPort(int port, std::string& error);
std::unique_ptr<HostPort> OpenDevicePort(const std::string& path, long baud, std::string& error);

// "what: the system's reason" for the current errno.
std::string SystemError(const std::string& what);

}  // namespace hc11::serial
