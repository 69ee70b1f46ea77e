// The debugger's expression parser and logpoint messages on arbitrary text:
// parsing must refuse or accept without crashing, and whatever it accepts
// must evaluate without undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "expr/expression.h"
#include "expr/log_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::unique_ptr<hc11::Machine> machine = [] {
    auto m = std::make_unique<hc11::Machine>();
    for (std::size_t a = 0; a < m->Memory.size(); ++a) m->Memory[a] = static_cast<std::uint8_t>(a * 7);
    m->cpu.X = 0x8000;
    m->cpu.CC = 0x2D;
    return m;
  }();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const hc11::SymbolResolver resolve = [](std::string_view name) -> std::optional<std::uint16_t> {
    if (name == "cnt") return 0x40;
    return std::nullopt;
  };
  const hc11::ExprContext context{*machine, 3};
  const hc11::ParsedExpression e = hc11::ParseExpression(text, resolve);
  if (e.expression) (void)e.expression->Evaluate(context);
  const hc11::ParsedLogFormat f = hc11::ParseLogFormat(text, resolve);
  if (f.format) {
    std::optional<hc11::ExprError> fault;
    (void)f.format->Format(context, fault);
  }
  return 0;
}
