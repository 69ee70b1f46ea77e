// GDB's monitor command lines on arbitrary text: each is refused with a
// message or runs against a board, never crashing.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "gdbstub/monitor.h"

namespace {

class NullTarget final : public hc11::gdb::MonitorTarget {
 public:
  void Reset() override {}
  bool Init() override { return true; }
  bool PressKey(std::string_view caption, std::optional<unsigned>) override { return caption == "Menu"; }
  bool ReleaseKey(std::string_view caption) override { return caption == "Menu"; }
  bool InjectButton(std::string_view caption) override { return caption == "LecE2P"; }
  void SendSerial(std::span<const std::uint8_t> bytes) override {
    if (bytes.empty() || bytes.size() > hc11::gdb::kMonitorSerialMax) __builtin_trap();
  }
  std::string PanelText() const override { return "panel: Ecran1=00 00 00 00\n"; }
  std::int64_t Cycles() const override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  NullTarget target;
  const auto answer =
      hc11::gdb::RunMonitorCommand(target, std::string_view(reinterpret_cast<const char*>(data), size));
  if (answer.text.empty() || answer.text.back() != '\n') __builtin_trap();
  return 0;
}
