// Sessions from Python: a board's inputs and outputs recorded into a session
// file, and hc11flow.replay(), which gives a session to a build and returns
// the first difference as an object.
#include <pybind11/stl.h>

#include <filesystem>

#include "core/text_util.h"
#include "listing/listing_files.h"
#include "python/bind_common.h"
#include "recording/replayer.h"
#include "recording/session_program.h"

namespace hc11::py {

namespace {

// A str or an os.PathLike, as open() takes a file name.
std::string PathOf(const pb::handle& path) {
  const pb::object name = pb::module_::import("os").attr("fspath")(path);
  if (!pb::isinstance<pb::str>(name)) throw pb::type_error("a path is a str or an os.PathLike naming one");
  return name.cast<std::string>();
}

const char* ReasonName(SessionFileError e) {
  switch (e) {
    case SessionFileError::None:
      return "none";
    case SessionFileError::Open:
      return "open";
    case SessionFileError::TooLarge:
      return "too_large";
    case SessionFileError::Header:
      return "header";
    case SessionFileError::UnknownKind:
      return "unknown_kind";
    case SessionFileError::BadValue:
      return "bad_value";
    case SessionFileError::TimeBack:
      return "time_back";
    case SessionFileError::Truncated:
      return "truncated";
    case SessionFileError::Write:
      return "write";
  }
  return "none";
}

// As a refused state file: FileNotFoundError when nothing is there, else
// hc11flow.Error with the refusal's kind in `.reason` and its line in `.line`.
[[noreturn]] void RaiseSessionRefusal(SessionFileError e, int line, const std::string& message,
                                      const std::string& path) {
  std::error_code ec;
  if (e == SessionFileError::Open && !std::filesystem::exists(path, ec)) {
    PyErr_SetString(PyExc_FileNotFoundError, message.c_str());
    throw pb::error_already_set();
  }
  pb::object error = Errors().error(message);
  error.attr("reason") = ReasonName(e);
  error.attr("line") = line;
  PyErr_SetObject(Errors().error.ptr(), error.ptr());
  throw pb::error_already_set();
}

// The kind as the file writes it: the first word of the event's text.
std::string KindWord(const std::string& text) {
  return text.substr(0, text.find(' '));
}

// Writing over the program's own files would destroy what the session replays on.
void RefuseProgramFiles(PyBoard& b, const std::string& path) {
  const std::string base = b.session().ListingBase();
  if (base.empty()) return;
  for (const std::string& input : {ListingFileName(base), ProgramImageName(base)}) {
    std::error_code ec;
    if (std::filesystem::equivalent(path, input, ec))
      Raise(Errors().error, "'" + path + "' is the program's " +
                                (input == ListingFileName(base) ? "listing" : "code image") +
                                ": not overwritten");
  }
}

void StartRecording(PyBoard& b, const std::string& path) {
  if (b.Recording()) Raise(Errors().error, "already recording into '" + b.RecordingPath() + "'");
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
    PyErr_SetString(PyExc_FileNotFoundError,
                    ("no folder '" + folder.string() + "' for '" + path + "'").c_str());
    throw pb::error_already_set();
  }
  RefuseProgramFiles(b, path);
  // A replay starts from a fresh load. Init would not make a board that ran
  // one: the chips keep their latches over a reset, so outputs the fresh
  // board makes would not be changes on this one.
  if (b.machine().CycleCount != 0 || b.machine().StepTotal != 0)
    Raise(Errors().error, "a session starts at the program's start: record on a board just opened");
  b.StartRecording(path);
}

std::string StopRecording(PyBoard& b) {
  if (!b.Recording()) Raise(Errors().error, "not recording");
  const std::string path = b.RecordingPath();
  std::string error;
  if (!b.StopRecording(error)) RaiseSessionRefusal(SessionFileError::Write, 0, error, path);
  return path;
}

// `with b.recording(path):` records from its start and writes on its exit,
// an exception's included.
struct PyRecording {
  PyBoard* board;
  std::string path;
};

struct PyReplay {
  ReplayResult r;
};

std::string Described(const std::optional<SessionOutput>& o) {
  return o ? OutputText(*o) + Format(" at %lld", static_cast<long long>(o->time)) : "None";
}

std::string ReplayRepr(const ReplayResult& r) {
  if (r.same()) return Format("ReplayResult(same=True, outputs=%zu)", r.outputs);
  if (r.interrupted()) return Format("ReplayResult(same=False, interrupted=True, outputs=%zu)", r.outputs);
  return Format("ReplayResult(same=False, index=%zu, recorded=", r.index) + Described(r.recorded) +
         ", produced=" + Described(r.produced) + (r.timing ? ", timing=True" : "") +
         Format(", pc=$%4.4X", r.pc) + (r.function.empty() ? "" : " " + r.function) + ")";
}

PyReplay ReplaySession(const pb::object& sessionPath, const pb::object& program, const pb::object& timingMs) {
  const std::string path = PathOf(sessionPath);
  ReplayOptions options;
  if (!timingMs.is_none()) {
    if (!pb::isinstance<pb::float_>(timingMs) && !pb::isinstance<pb::int_>(timingMs))
      throw pb::type_error("timing_ms is a number of milliseconds");
    const auto ms = timingMs.cast<double>();
    if (!(ms >= 0 && ms <= 1e9)) throw pb::value_error("timing_ms is a number of milliseconds, 0 to 1e9");
    options.timingMs = ms;
  }
  const SessionReadResult read = ReadSessionFile(path);
  if (!read.ok()) RaiseSessionRefusal(read.error, read.line, read.message, path);
  const SessionFile& session = *read.session;
  const std::string programPath = program.is_none() ? SessionProgramPath(path, session) : PathOf(program);
  PyBoard b;
  const OpenResult opened = b.Open(programPath, false, "");
  if (opened.error == OpenError::Missing) {
    PyErr_SetString(PyExc_FileNotFoundError, opened.message.c_str());
    throw pb::error_already_set();
  }
  if (opened.error == OpenError::Refused) Raise(Errors().error, opened.message);
  const pb::gil_scoped_release unlocked;
  return {Replay(b.controller(), session, options)};
}

}  // namespace

void RefuseWhileRecording(const PyBoard& b, const char* what) {
  if (b.Recording())
    Raise(Errors().error, std::string(what) + " while recording: a session's time only goes forward");
}

void BindSession(pb::module_& m, pb::class_<PyBoard>& c) {
  pb::class_<SessionOutput>(m, "SessionOutput")
      .def_readonly("time", &SessionOutput::time)
      .def_property_readonly("kind", [](const SessionOutput& o) { return KindWord(OutputText(o)); })
      .def_readonly("value", &SessionOutput::value)
      .def_readonly("address", &SessionOutput::address)
      .def_property_readonly("text", &OutputText)
      .def("__repr__", [](const SessionOutput& o) {
        return Format("SessionOutput(time=%lld, '", static_cast<long long>(o.time)) + OutputText(o) + "')";
      });
  pb::class_<SessionInput>(m, "SessionInput")
      .def_readonly("time", &SessionInput::time)
      .def_property_readonly("kind", [](const SessionInput& i) { return KindWord(InputText(i)); })
      .def_readonly("value", &SessionInput::value)
      .def_property_readonly("data",
                             [](const SessionInput& i) {
                               return pb::bytes(reinterpret_cast<const char*>(i.bytes.data()),
                                                i.bytes.size());
                             })
      .def_property_readonly("text", &InputText)
      .def("__repr__", [](const SessionInput& i) {
        return Format("SessionInput(time=%lld, '", static_cast<long long>(i.time)) + InputText(i) + "')";
      });
  pb::class_<PyReplay>(m, "ReplayResult")
      .def_property_readonly("same", [](const PyReplay& p) { return p.r.same(); })
      .def_property_readonly("interrupted", [](const PyReplay& p) { return p.r.interrupted(); })
      .def_property_readonly("outputs", [](const PyReplay& p) { return p.r.outputs; })
      .def_property_readonly("index", [](const PyReplay& p) { return p.r.index; })
      .def_property_readonly("recorded", [](const PyReplay& p) { return p.r.recorded; })
      .def_property_readonly("produced", [](const PyReplay& p) { return p.r.produced; })
      .def_property_readonly("timing", [](const PyReplay& p) { return p.r.timing; })
      .def_property_readonly("pc", [](const PyReplay& p) { return p.r.pc; })
      .def_property_readonly("function", [](const PyReplay& p) { return p.r.function; })
      .def_property_readonly("last_inputs", [](const PyReplay& p) { return p.r.lastInputs; })
      .def("__bool__", [](const PyReplay& p) { return p.r.same(); })
      .def("__str__", [](const PyReplay& p) { return ReplayText(p.r); })
      .def("__repr__", [](const PyReplay& p) { return ReplayRepr(p.r); });
  m.def("replay", &ReplaySession, pb::arg("session"), pb::arg("program") = pb::none(),
        pb::arg("timing_ms") = pb::none(),
        "Gives SESSION's recorded inputs to PROGRAM (the recorded one by default) and compares its outputs.");

  pb::class_<PyRecording>(m, "Recording")
      .def(
          "__enter__",
          [](PyRecording& r) {
            StartRecording(*r.board, r.path);
            return r.board;
          },
          pb::return_value_policy::reference)
      .def("__exit__", [](PyRecording& r, const pb::args&) {
        // Already written when the block called stop_recording() itself.
        if (r.board->Recording()) StopRecording(*r.board);
        return false;
      });
  // record(True|False) is the time-travel record's switch; record(PATH) a session.
  c.def(
      "record",
      [](PyBoard& b, const pb::object& what) {
        if (pb::isinstance<pb::bool_>(what)) {
          b.session().timeTravel().SetRecording(what.cast<bool>());
          return;
        }
        StartRecording(b, PathOf(what));
      },
      pb::arg("on") = true);
  c.def("stop_recording", &StopRecording);
  c.def(
      "recording",
      [](PyBoard& b, const pb::object& path) {
        return PyRecording{&b, PathOf(path)};
      },
      pb::arg("path"), pb::keep_alive<0, 1>());
}

}  // namespace hc11::py
