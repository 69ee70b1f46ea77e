// A real serial port (or any terminal device): raw, 8 data bits, no parity,
// one stop bit, no flow control, at the settings' baud rate.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <utility>

#include "serial_link/port_openers.h"

namespace hc11::serial {

namespace {

constexpr std::array<std::pair<long, speed_t>, 19> kSpeeds{{
    {50, B50},         {75, B75},         {110, B110},         {150, B150},         {300, B300},
    {600, B600},       {1200, B1200},     {2400, B2400},       {4800, B4800},       {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},     {115200, B115200},   {230400, B230400},
    {460800, B460800}, {921600, B921600}, {1000000, B1000000}, {2000000, B2000000},
}};

class DevicePort final : public HostPort {
 public:
  DevicePort(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~DevicePort() override {
    if (fd_ >= 0) ::close(fd_);
  }

  std::string Name() const override { return path_; }
  bool Connected() const override { return fd_ >= 0; }

  void Service(std::vector<std::uint8_t>& in, std::vector<std::string>& events) override {
    if (fd_ < 0) return;
    std::string why;
    // A terminal gives 0 bytes when nothing waits; only an error means the device is gone.
    if (!ReadAll(fd_, in, why) && why != "closed") Lost(events, why);
    FlushOut(events);
  }

 protected:
  int WaitFd() const override { return fd_; }
  int DataFd() const override { return fd_; }
  void Lost(std::vector<std::string>& events, const std::string& why) override {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    ForgetOut();
    events.push_back(path_ + ": " + why + "; the link is closed");
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

std::unique_ptr<HostPort> OpenDevicePort(const std::string& path, long baud, std::string& error) {
  speed_t speed = 0;
  for (const auto& [rate, code] : kSpeeds)
    if (rate == baud) speed = code;
  if (speed == 0) {
    error = path + ": unsupported baud rate " + std::to_string(baud);
    return nullptr;
  }
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = SystemError(path);
    return nullptr;
  }
  termios t{};
  if (::tcgetattr(fd, &t) != 0) {
    error = SystemError(path + " is not a serial port");
    ::close(fd);
    return nullptr;
  }
  ::cfmakeraw(&t);
  t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | CRTSCTS | PARENB | CSIZE);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  ::cfsetispeed(&t, speed);
  ::cfsetospeed(&t, speed);
  if (::tcsetattr(fd, TCSANOW, &t) != 0) {
    error = SystemError(path);
    ::close(fd);
    return nullptr;
  }
  ::tcflush(fd, TCIOFLUSH);
  return std::make_unique<DevicePort>(fd, path);
}

}  // namespace hc11::serial
