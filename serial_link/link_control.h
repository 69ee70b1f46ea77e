// The window's serial link and real time, driven by three Options marks
// ("Liaison série", "Temps réel", "Attendre le client série") and the
// settings "PortCom" and "BaudRate". Qt-free: the window only forwards its
// marks, its event-loop yields and its idle timer here.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "debugger/session.h"
#include "serial_link/linked_run.h"
#include "serial_link/serial_link.h"

namespace hc11::serial {

inline constexpr const char* kMarkLink = "LiaisonSerie";
inline constexpr const char* kMarkRealtime = "TempsReel";
inline constexpr const char* kMarkWait = "AttenteSerie";

class LinkControl {
 public:
  explicit LinkControl(Session& session);

  // The marks as they now stand: opens the link (from "PortCom" and
  // "BaudRate") when its mark is set and it is closed, closes it when the
  // mark is clear. A link that fails to open clears its mark. False then.
  bool Apply();
  // Closes and, when the mark is set, opens again (Init, "relancer", a new
  // program): the firmware starts over, and so does its link.
  void Restart();
  void Close();
  bool IsOpen() const { return link_.IsOpen(); }
  bool Connected() const { return link_.Connected(); }
  std::string Name() const { return link_.Name(); }
  // Anything to do at the run loop's yields.
  bool Active() const { return link_.IsOpen() || realtime_; }

  // A run starts. With "Attendre le client série" and no client yet, holds
  // here, calling `pump` (the window's events) until a client comes or
  // `pump` returns true (F2, the window closing).
  void RunStarted(const std::function<bool()>& pump);
  // The run loop's yield.
  void Yield();
  // Between runs (the window's timer).
  void Idle();

  // Events for the information line and stderr, one line each.
  std::function<void(std::string_view)> OnEvent;

 private:
  void Event(std::string_view text);

  Session& session_;
  SerialLink link_;
  LinkedRun run_;
  bool realtime_ = false;
};

}  // namespace hc11::serial
