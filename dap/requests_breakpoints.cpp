// Breakpoint requests: lines of the listing or of its assembler source,
// labels, addresses and RAM bytes, with their conditions, hit conditions and
// log messages, as entries of the breakpoint list.
#include <algorithm>

#include "core/text_util.h"
#include "dap/adapter.h"

namespace hc11::dap {

namespace {

// The largest data breakpoint: one list entry per byte and access.
constexpr std::uint32_t kDataBytesMax = 8;

BreakRequest Extras(const Json& b) {
  BreakRequest r;
  r.condition = b.value("condition", "");
  r.hitCondition = b.value("hitCondition", "");
  r.logMessage = b.value("logMessage", "");
  return r;
}

Json AnswerJson(const BreakAnswer& a) {
  Json j = {{"id", a.id}, {"verified", a.verified}};
  if (!a.message.empty()) j["message"] = a.message;
  if (a.address) j["instructionReference"] = Format("0x%4.4X", *a.address);
  return j;
}

std::string DataId(std::uint16_t address, std::uint32_t size) {
  return Format("%4.4X/%u", address, size);
}

}  // namespace

std::vector<BreakAnswer> Adapter::ApplyBreakGroup(const std::string& group,
                                                  const std::vector<BreakRequest>& requests) {
  Controller& c = Live();
  std::vector<BreakAnswer> answers;
  breaks_.Replace(c.session().breakpoints(), group, requests, answers);
  c.Edited(ChangeLists);
  return answers;
}

void Adapter::SetBreakpoints(const Json& args, Json& body) {
  Live();
  const Json source = args.value("source", Json::object());
  const std::string path = source.value("path", "");
  const std::optional<SourceFile> file = sources_.FileOf(path);
  Json asked = args.value("breakpoints", Json::array());
  if (!args.contains("breakpoints") && args.contains("lines"))
    for (const Json& l : args["lines"]) asked.push_back({{"line", l}});
  std::vector<BreakRequest> requests;
  std::vector<std::int64_t> lines;
  for (const Json& b : asked) {
    BreakRequest r = Extras(b);
    const std::int64_t line = b.at("line").get<std::int64_t>();
    lines.push_back(line);
    if (!file) {
      r.refusal = "'" + path + "' is not a file of this program";
    } else if (const auto address = sources_.AddressOf(*file, OwnLine(line))) {
      r.places.push_back({*address, 'C'});
    } else {
      r.refusal = "no code on this line";
    }
    requests.push_back(std::move(r));
  }
  // A file of another program keeps no group of its own.
  const std::string group = file == SourceFile::Assembler ? kAssemblerGroup : kListingGroup;
  std::vector<BreakAnswer> answers;
  if (file) {
    answers = ApplyBreakGroup(group, requests);
  } else {
    for (const BreakRequest& r : requests) answers.push_back({0, false, r.refusal, std::nullopt});
  }
  body["breakpoints"] = Json::array();
  for (std::size_t i = 0; i < answers.size(); ++i) {
    Json j = AnswerJson(answers[i]);
    j["line"] = lines[i];
    if (file) j["source"] = SourceJson(*file);
    body["breakpoints"].push_back(std::move(j));
  }
}

void Adapter::SetFunctionBreakpoints(const Json& args, Json& body) {
  Controller& c = Live();
  std::vector<BreakRequest> requests;
  for (const Json& b : args.value("breakpoints", Json::array())) {
    BreakRequest r = Extras(b);
    const std::string name = b.at("name").get<std::string>();
    if (const auto address = c.session().SymbolAddress(name)) {
      r.places.push_back({*address, 'C'});
    } else {
      r.refusal = "no label '" + name + "' in the listing";
    }
    requests.push_back(std::move(r));
  }
  body["breakpoints"] = Json::array();
  for (const BreakAnswer& a : ApplyBreakGroup(kFunctionGroup, requests)) {
    Json j = AnswerJson(a);
    if (a.address) {
      if (const auto line = sources_.LineOf(launch_.frames, *a.address)) {
        j["line"] = ClientLine(*line);
        j["source"] = SourceJson(launch_.frames);
      }
    }
    body["breakpoints"].push_back(std::move(j));
  }
}

void Adapter::SetInstructionBreakpoints(const Json& args, Json& body) {
  Live();
  std::vector<BreakRequest> requests;
  for (const Json& b : args.value("breakpoints", Json::array())) {
    BreakRequest r = Extras(b);
    const std::string ref = b.at("instructionReference").get<std::string>();
    const std::int64_t offset = b.value("offset", std::int64_t{0});
    const auto base = ParseNumber(ref);
    if (!base || offset < -0xFFFF || offset > 0xFFFF || *base + offset < 0 || *base + offset > 0xFFFF) {
      r.refusal = "'" + ref + "' is not an address";
    } else {
      r.places.push_back({static_cast<std::uint16_t>(*base + offset), 'C'});
    }
    requests.push_back(std::move(r));
  }
  body["breakpoints"] = Json::array();
  for (const BreakAnswer& a : ApplyBreakGroup(kInstructionGroup, requests))
    body["breakpoints"].push_back(AnswerJson(a));
}

void Adapter::SetExceptionBreakpoints(const Json&, Json& body) {
  body["breakpoints"] = Json::array();
}

void Adapter::DataBreakpointInfo(const Json& args, Json& body) {
  Controller& c = Live();
  const std::string name = args.at("name").get<std::string>();
  const std::int64_t scope = args.value("variablesReference", std::int64_t{0});
  std::optional<std::uint16_t> address;
  std::uint32_t size = 1;
  if (scope == kWatchesScope) {
    for (const TSurv& w : c.session().watches().entries())
      if (w.name == name) {
        address = w.address;
        size = std::uint32_t{w.elements} * w.bytesPer;
      }
  } else if (scope == 0 || scope == kSymbolsScope) {
    for (const gdb::ListedVariable& v : sources_.Variables())
      if (ToLower(v.name) == ToLower(name)) {
        address = v.address;
        size = v.size;
      }
    if (!address) address = c.session().SymbolAddress(name);
    if (!address) {
      if (const auto n = ParseNumber(name)) address = static_cast<std::uint16_t>(*n);
    }
  }
  if (!address) {
    body = {{"dataId", nullptr}, {"description", "'" + name + "' is not a variable in memory"}};
    return;
  }
  size = std::clamp<std::uint32_t>(size, 1, std::min<std::uint32_t>(kDataBytesMax, 0x10000 - *address));
  body = {{"dataId", DataId(*address, size)},
          {"description", Format("%s ($%4.4X, %u)", name.c_str(), *address, size)},
          {"accessTypes", Json::array({"write", "read", "readWrite"})},
          {"canPersist", false}};
}

void Adapter::SetDataBreakpoints(const Json& args, Json& body) {
  Live();
  std::vector<BreakRequest> requests;
  for (const Json& b : args.value("breakpoints", Json::array())) {
    BreakRequest r = Extras(b);
    const std::string id = b.at("dataId").get<std::string>();
    const std::string access = b.value("accessType", "write");
    const std::size_t slash = id.find('/');
    const auto address = ParseNumber(id.substr(0, slash));
    const auto size = slash == std::string::npos ? std::optional<std::uint32_t>(1)
                                                 : ParseNumber("$" + id.substr(slash + 1), kDataBytesMax);
    std::string kinds;
    if (access == "write" || access == "readWrite") kinds += 'I';
    if (access == "read" || access == "readWrite") kinds += 'i';
    if (!address || !size || *size == 0 || *address + *size > 0x10000) {
      r.refusal = "'" + id + "' is not a data breakpoint of this adapter";
    } else if (kinds.empty()) {
      r.refusal = "access type '" + access + "': expected read, write or readWrite";
    } else {
      for (std::uint32_t i = 0; i < *size; ++i)
        for (const char k : kinds) r.places.push_back({static_cast<std::uint16_t>(*address + i), k});
    }
    requests.push_back(std::move(r));
  }
  body["breakpoints"] = Json::array();
  for (const BreakAnswer& a : ApplyBreakGroup(kDataGroup, requests)) {
    Json j = AnswerJson(a);
    j.erase("instructionReference");
    body["breakpoints"].push_back(std::move(j));
  }
}

}  // namespace hc11::dap
