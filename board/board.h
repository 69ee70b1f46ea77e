// The target board around the processor: the devices behind the register
// block (I2C bus with its PCF8574 latch, display drivers and 24C16 EEPROM,
// the frequency synthesiser, the serial interface, the A/D inputs, the tone
// register) and the model of the board panel that shows and drives them.
//
// The Machine calls the Peripherals methods for hooked accesses to
// $1000-$103F. The panel window renders the public state below and forwards
// its clicks to the panel methods; OnPanelChange tells it what to redraw.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "board/aff8segm.h"
#include "board/board_output.h"
#include "board/panel_input.h"
#include "board/panel_tables.h"
#include "core/machine.h"
#include "core/messages.h"
#include "core/state_visitor.h"
#include "onchip/onchip.h"

namespace hc11 {

// Port-A pins on this board.
inline constexpr std::uint16_t kPortA = 0x1000;
inline constexpr std::uint16_t kPortD = 0x1008;
inline constexpr std::uint16_t kToneRegister = 0x101A;
inline constexpr std::uint16_t kAdcControl = 0x1030;
inline constexpr std::uint16_t kSciStatus = 0x102E;
inline constexpr std::uint16_t kSciData = 0x102F;
inline constexpr std::uint8_t kPinSda = 0x80;
inline constexpr std::uint8_t kPinScl = 0x40;
inline constexpr std::uint8_t kPinRinger = 0x20;
inline constexpr std::uint8_t kPinStop = 0x10;
inline constexpr std::uint8_t kPinSynthData = 0x08;
inline constexpr std::uint8_t kPinChannelBusy = 0x04;
inline constexpr std::uint8_t kPinOnOff = 0x02;
inline constexpr std::uint8_t kPortDSynthClock = 0x20;

// Which part of the panel a device just changed.
enum class PanelPart { Display, Leds, LbPcf8574, LbOutA, LbSynth, Memo, Inputs };

// Everything the user or a host link feeds the board, as its public input
// methods receive it. RunStarted is the host text emptied by a run command.
enum class BoardInput : std::uint8_t {
  PressKey,
  ReleaseKey,
  PressOnOff,
  ReleaseOnOff,
  SetCbOC,
  SetNiveauSignal,
  SetOcFreq,
  InjectMessage,
  HostReceive,
  ClearMemo,
  ClickEcran1,
  RunStarted,
  PowerCut,
  PowerOn
};

// Told of each input before it takes effect (the time-travel record).
class BoardInputSink {
 public:
  virtual ~BoardInputSink() = default;
  virtual void BoardInputGiven(BoardInput input, int value, std::span<const std::uint8_t> bytes) = 0;
};

class Board final : public Peripherals {
 public:
  static constexpr std::size_t kEepromSize = 2048;
  static constexpr std::size_t kFrameSize = 2048;
  static constexpr std::size_t kRxCapacity = 200;
  static constexpr std::size_t kHostRxLimit = 255;
  static constexpr std::size_t kMemoLines = 3001;  // as the trace list: the oldest line goes
  static constexpr std::size_t kHostRxBlock = 254;

  // Registers itself as the machine's peripherals; `messages` shows the
  // warnings of ReadTyped and a refused EEPROM image file.
  Board(Machine& machine, Messages& messages);
  ~Board() override;
  Board(const Board&) = delete;
  Board& operator=(const Board&) = delete;

  // --- Peripherals ------------------------------------------------------
  void AfterWrite8(std::uint16_t address, std::uint8_t value) override;
  std::uint8_t Read8(std::uint16_t address) override;
  void AfterWrite16(std::uint16_t address, std::uint16_t value) override;
  void BoardReset() override;
  ChipRequest ServiceChip(bool unmasked) override;
  // Every run command starts with an empty host receive text.
  void RunStarted() override {
    Note(BoardInput::RunStarted);
    HostRxText.clear();
  }

  // The watch list's typed read. `value` is the watch's current byte, returned
  // unchanged where the read has nothing better; problems are shown as a
  // warning through Messages.
  std::uint8_t ReadTyped(std::uint16_t address, char type, std::uint8_t value);

  // --- I2C bus (port A: SDA bit 7, SCL bit 6) -----------------------------
  void I2cBusStep(std::uint8_t portA);
  void I2cFrameComplete();
  void EepromReadBitStep();
  // Factory contents plus, under the ListingBase rule, the image file.
  void LoadEepromDefaults();

  std::uint8_t I2cPhase = 0;  // 0 wait SCL high, 1 SCL high, 2 byte done, 3 acknowledge clock
  std::uint8_t I2cMode = 0;   // 0 master sends, 2 EEPROM sends
  std::array<std::uint8_t, kFrameSize> I2cFrame{};
  int I2cCount = 0;  // complete bytes in the frame, at most kFrameSize
  std::uint8_t I2cBitCount = 0;
  bool I2cTrace = false;  // "Tracer i2c"

  std::uint8_t PcfLatch = 0;
  std::array<std::uint8_t, kEepromSize> EepromImage{};
  std::uint16_t EepromReadPtr = 0;
  std::uint8_t EepromReadBit = 0;

  // The program's path without extension, and the image file it may enable.
  std::string ListingBase;
  std::string EepromFileName = "rq48_24c16.bin";

  // --- Synthesiser (clock port-D bit 5, data port-A bit 3) ----------------
  void SynthStep(std::uint8_t portD);
  // Shows the frequency on LbSynth; the receive frequency in kHz, 0 when transmitting.
  int SynthDisplay();

  std::uint8_t SynthPhase = 0;
  std::uint8_t SynthBits = 0;
  std::uint8_t SynthReg = 0;  // 0 A, 1 M, 2 R
  std::uint16_t SynthShift = 0;
  std::uint16_t SynthA = 0;
  std::uint16_t SynthM = 0;
  std::uint16_t SynthR = 0;
  bool SynthTrace = false;  // "Tracer Synth"
  int UhfMode = 0;          // value of the program's "UHF" symbol, 0 when absent

  // --- Serial interface ---------------------------------------------------
  std::uint8_t UartRead();
  void UartTransmit(std::uint8_t value);
  // Places a command message in the receive buffer (at most kRxCapacity bytes kept).
  void InjectMessage(std::span<const std::uint8_t> bytes);
  // Characters arriving from the host serial port.
  void HostReceive(std::string_view block);
  // The firmware has not yet read the last message up (status bit 5 still set).
  bool ReceiveBusy() const;

  std::array<std::uint8_t, kRxCapacity + 1> RxBuffer{};  // [0] length, then the message
  std::uint8_t RxIndex = 0;
  std::string HostRxText;  // at most kHostRxLimit characters

  // --- A/D inputs ---------------------------------------------------------
  std::array<std::uint8_t, 8> AdcInputs{};  // 0-5 keypad, 6 signal level

  // --- The processor's own devices (exact mode) ---------------------------
  // They answer the on-chip registers while Machine::Exact is set; the
  // designed mode never reaches them.
  onchip::OnChip Chip{AdcInputs};

  // --- Board panel --------------------------------------------------------
  void PortAIndicator(std::uint16_t address, std::uint8_t value);
  void PressKey(std::size_t keyIndex);  // index into kKeypad
  void ReleaseKey(std::size_t keyIndex);
  void PressOnOff();  // the "M/A" key
  void ReleaseOnOff();
  void SetCbOC(bool busy);
  bool CbOC() const { return cbOC_; }
  void SetNiveauSignal(int level);  // kept within 0..255
  int NiveauSignal() const { return niveauSignal_; }
  void SetOcFreq(int kHz);
  int OcFreq() const { return ocFreq_; }
  void PressCommand(BoardCommand command);
  // One input of the panel, as the window, the CLI and GDB give them.
  void Apply(const PanelInput& input);
  void ClearMemo();    // double click on Memo1
  void ClickEcran1();  // click on the display

  TAff8Segm Ecran1;
  bool Led1Ton = false;  // true = red, false = white
  bool Led2Hp = false;
  bool Led3Klx = false;
  bool Led4MA = false;
  std::string LbPcf8574 = "Pcf8574";
  std::string LbOutA;
  std::string LbSynth = "Synth";
  std::deque<std::string> Memo1{"Memo1"};
  // Lines ever added to Memo1 (never reset), so a view appends only the new ones.
  std::uint64_t MemoAdded = 0;

  // Told after a device changed what the panel shows.
  std::function<void(PanelPart)> OnPanelChange;
  // Each byte the firmware transmits, for a host serial link; unset when none.
  std::function<void(std::uint8_t)> OnTransmit;
  // The program's text output (the typed read's " I2C interdit en normal").
  std::function<void(std::string_view)> ProgramOutput;

  // --- Power ("Coupure secteur") ------------------------------------------
  // Removes power between two instructions: the processor's registers, its
  // RAM and register block are lost (zeroed, as a reset clears them), and so
  // is every chip's working state. The EEPROM keeps exactly the writes whose
  // stop condition it received; a frame still being sent is lost whole. The
  // display, the LEDs and the synthesiser's label go dark.
  void PowerCut();
  // Power back: the machine's reset and boot, with the EEPROM as the cut
  // left it (its factory contents are not written over what it kept).
  void PowerOn();
  // True from a power cut to the next reset.
  bool Unpowered = false;

  // Null costs one test per input.
  BoardInputSink* InputSink = nullptr;
  // A second listener to the inputs (a session recording), beside the record.
  BoardInputSink* InputTap = nullptr;
  // Told of every observable output; null costs one test per change.
  BoardOutputSink* OutputSink = nullptr;
  // The simulated state of every device and of the panel, in a fixed
  // order; the memo of serial lines apart (VisitMemo), since the record
  // keeps it beside its snapshots. Settings (traces, file names, the UHF
  // symbol) and the callbacks are not state.
  void Visit(StateVisitor& v);
  void VisitMemo(StateVisitor& v) { v.Lines("Memo1", Memo1); }

 private:
  void Note(BoardInput input, int value = 0, std::span<const std::uint8_t> bytes = {}) {
    if ((InputSink != nullptr) | (InputTap != nullptr)) [[unlikely]] {
      if (InputSink != nullptr) InputSink->BoardInputGiven(input, value, bytes);
      if (InputTap != nullptr) InputTap->BoardInputGiven(input, value, bytes);
    }
  }
  void Emit(BoardOutput kind, std::uint32_t value, std::uint16_t address = 0) {
    if (OutputSink != nullptr) [[unlikely]]
      OutputSink->BoardOutputMade({kind, value, address});
  }
  std::uint32_t DisplayWord() const;
  std::uint32_t LedBits() const;
  // Emits the display and LED outputs that differ from the values given.
  void ShownSince(std::uint32_t display, std::uint32_t leds);
  std::uint8_t& FrameSlot();
  void I2cEvent(const char* text);
  void Changed(PanelPart part);
  void SoundTone();
  // The designed registers' reactions, and those of the exact mode's
  // registers no on-chip device answers.
  [[gnu::noinline]] std::uint8_t BoardRead8(std::uint16_t address);
  [[gnu::noinline]] void BoardWrite8(std::uint16_t address, std::uint8_t value);
  void LoadEepromFile();
  void Warn(std::string_view message);
  // Exact mode: an on-chip register's access, and the machine told when
  // the devices next need it. Read8 and AfterWrite8 serve the polled
  // accesses themselves.
  std::uint8_t ChipRead(std::uint16_t address);
  void ChipWrite(std::uint16_t address, std::uint8_t value);
  void ChipSync();
  void ChipMirror();  // every on-chip register's copy in the register block
  // The conversions done so far keep the levels they were made from.
  void ChipInputsChange() {
    if (machine_.Exact) Chip.adc.Advance(machine_.CycleCount);
  }
  void ChipReceive(std::span<const std::uint8_t> bytes);

  Machine& machine_;
  Messages& messages_;
  std::uint8_t frameOverflow_ = 0;  // assembles bytes beyond the frame buffer
  std::uint8_t outABits_ = 0;       // stop/ringer bits LbOutA shows
  bool cbOC_ = false;
  int niveauSignal_ = 40;
  int ocFreq_ = 145650;
};

}  // namespace hc11
