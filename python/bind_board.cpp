// The board's panel: keys, inputs, command buttons, the serial link, the
// display, the LEDs, the EEPROM and the synthesiser.
#include <pybind11/stl.h>

#include "board/panel_tables.h"
#include "board/rounding.h"
#include "python/bind_common.h"
#include "python/display_text.h"

namespace hc11::py {

namespace {

struct SerialView {
  PyBoard* board;
};

struct EepromView {
  PyBoard* board;
};

// The panel input of a key caption pressed or released.
PanelInput KeyInput(const std::string& caption, bool press) {
  if (caption == kOnOffCaption) return {press ? PanelAction::PressOnOff : PanelAction::ReleaseOnOff, 0};
  const auto key = FindKeypadKey(caption);
  if (!key) Raise(Errors().error, "unknown key '" + caption + "'");
  return {press ? PanelAction::PressKey : PanelAction::ReleaseKey, static_cast<int>(*key)};
}

std::vector<std::uint8_t> BytesOf(const pb::bytes& b) {
  const auto s = b.cast<std::string>();
  return {s.begin(), s.end()};
}

pb::bytes ToBytes(const std::vector<std::uint8_t>& v) {
  return {reinterpret_cast<const char*>(v.data()), v.size()};
}

void StoreEeprom(PyBoard& b, std::size_t at, const std::string& bytes) {
  std::copy(bytes.begin(), bytes.end(), b.board().EepromImage.begin() + static_cast<std::ptrdiff_t>(at));
  b.controller().Edited(ChangeBoard);
}

void Expect(PyBoard& b, const pb::bytes& expected, double ms) {
  if (!(ms > 0)) throw pb::value_error("ms must be a positive number");
  const auto counts =
      static_cast<std::int64_t>(std::ceil(ms / static_cast<double>(Machine::CountsToMs(1)) - 1e-9));
  StopEvent stop;
  std::vector<std::uint8_t> received;
  bool came = false;
  {
    const pb::gil_scoped_release unlocked;
    came = b.Expect(BytesOf(expected), counts, stop, received);
  }
  if (came) return;
  std::string text = "expected " + pb::repr(expected).cast<std::string>() + " within " +
                     pb::repr(pb::float_(ms)).cast<std::string>() + " ms, received " +
                     pb::repr(ToBytes(received)).cast<std::string>();
  if (stop.cause != StopCause::BudgetSpent) text += "; the run stopped: " + stop.text;
  Raise(Errors().timeout, text);
}

pb::dict Synth(PyBoard& p) {
  const Board& b = p.board();
  const long long n = static_cast<long long>(b.SynthM) * 64 + b.SynthA;
  const int f = static_cast<int>(RoundHalfEven(n * 25, 2));  // n x 12.5 kHz
  const bool transmitting = (b.PcfLatch & 0x08) != 0;
  pb::dict d;
  d["frequency_khz"] = transmitting ? f : (b.UhfMode == 1 ? f + 45000 : f - 21400);
  d["transmitting"] = transmitting;
  d["a"] = b.SynthA;
  d["m"] = b.SynthM;
  d["r"] = b.SynthR;
  d["text"] = b.LbSynth;
  return d;
}

}  // namespace

void BindBoard(pb::module_& m, pb::class_<PyBoard>& c) {
  pb::class_<SerialView>(m, "Serial")
      .def("send",
           [](const SerialView& s, const pb::bytes& bytes) {
             const std::vector<std::uint8_t> v = BytesOf(bytes);
             if (v.empty() || v.size() > Board::kRxCapacity)
               throw pb::value_error("a message holds 1 to " + std::to_string(Board::kRxCapacity) + " bytes");
             s.board->board().InjectMessage(v);
             s.board->controller().Edited(ChangeBoard);
           })
      .def("received", [](const SerialView& s) { return ToBytes(s.board->TakeReceived()); })
      .def(
          "expect", [](const SerialView& s, const pb::bytes& e, double ms) { Expect(*s.board, e, ms); },
          pb::arg("expected"), pb::arg("ms") = 100.0);

  pb::class_<EepromView>(m, "Eeprom")
      .def("__len__", [](const EepromView&) { return Board::kEepromSize; })
      .def("__bytes__",
           [](const EepromView& e) {
             const auto& image = e.board->board().EepromImage;
             return pb::bytes(reinterpret_cast<const char*>(image.data()), image.size());
           })
      .def("__getitem__",
           [](const EepromView& e, long long i) {
             return e.board->board().EepromImage[Bounded(i, Board::kEepromSize - 1, "EEPROM address")];
           })
      .def("__getitem__",
           [](const EepromView& e, const pb::slice& s) {
             std::size_t start = 0, stop = 0, step = 0, length = 0;
             if (!s.compute(Board::kEepromSize, &start, &stop, &step, &length)) throw pb::error_already_set();
             if (step != 1) throw pb::value_error("EEPROM slices take no step");
             const auto& image = e.board->board().EepromImage;
             return pb::bytes(reinterpret_cast<const char*>(image.data()) + start, length);
           })
      .def("__setitem__", [](const EepromView& e, long long i, long long v) {
        StoreEeprom(*e.board, Bounded(i, Board::kEepromSize - 1, "EEPROM address"),
                    std::string(1, static_cast<char>(Bounded(v, 0xFF, "byte"))));
      });

  c.def("press", [](PyBoard& b, const std::string& key) { b.controller().Press(KeyInput(key, true)); });
  c.def("release", [](PyBoard& b, const std::string& key) { b.controller().Press(KeyInput(key, false)); });
  c.def(
      "tap",
      [](PyBoard& b, const std::string& key, double ms) {
        const PanelInput press = KeyInput(key, true);
        if (!(ms > 0)) throw pb::value_error("ms must be a positive number");
        b.controller().Press(press);
        const auto counts =
            static_cast<std::int64_t>(std::ceil(ms / static_cast<double>(Machine::CountsToMs(1)) - 1e-9));
        StopEvent e;
        {
          const pb::gil_scoped_release unlocked;
          e = b.Run(RunBounds{std::nullopt, counts, std::nullopt});
        }
        b.controller().Press(KeyInput(key, false));
        return ToPyStop(e);
      },
      pb::arg("key"), pb::arg("ms") = 50.0);
  c.def("inject", [](PyBoard& b, const std::string& button) {
    const auto command = FindCommand(button);
    if (!command) Raise(Errors().error, "unknown command button '" + button + "'");
    b.controller().Press({PanelAction::Command, static_cast<int>(*command)});
  });
  c.def_property(
      "signal", [](PyBoard& b) { return b.board().NiveauSignal(); },
      [](PyBoard& b, long long v) {
        b.controller().Press({PanelAction::SignalLevel, static_cast<int>(Bounded(v, 255, "signal level"))});
      });
  c.def_property(
      "ocfreq", [](PyBoard& b) { return b.board().OcFreq(); },
      [](PyBoard& b, long long v) {
        b.controller().Press(
            {PanelAction::OcFrequency, static_cast<int>(Bounded(v, 0x7FFFFFFF, "frequency"))});
      });
  c.def_property(
      "oc", [](PyBoard& b) { return b.board().CbOC(); },
      [](PyBoard& b, bool busy) {
        b.controller().Press({PanelAction::OcBusy, busy ? 1 : 0});
      });
  c.def_property_readonly(
      "serial", [](PyBoard& b) { return SerialView{&b}; }, pb::keep_alive<0, 1>());
  c.def("display", [](PyBoard& b) { return DisplayText(b.board().Ecran1.Segments); });
  c.def("segments", [](PyBoard& b) {
    const auto& s = b.board().Ecran1.Segments;
    return pb::bytes(reinterpret_cast<const char*>(s.data()), s.size());
  });
  c.def_property_readonly("leds", [](PyBoard& p) {
    const Board& b = p.board();
    pb::dict d;
    d["Led1Ton"] = b.Led1Ton;
    d["Led2Hp"] = b.Led2Hp;
    d["Led3Klx"] = b.Led3Klx;
    d["Led4MA"] = b.Led4MA;
    return d;
  });
  c.def_property(
      "eeprom", [](PyBoard& b) { return EepromView{&b}; },
      [](PyBoard& b, const pb::bytes& image) {
        const auto bytes = image.cast<std::string>();
        if (bytes.size() != Board::kEepromSize)
          throw pb::value_error("an EEPROM image holds exactly 2048 bytes");
        StoreEeprom(b, 0, bytes);
      },
      pb::keep_alive<0, 1>());
  c.def_property_readonly("synth", &Synth);
}

}  // namespace hc11::py
