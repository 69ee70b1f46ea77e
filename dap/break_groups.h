// The client's breakpoints as entries of the debugger's breakpoint list, so
// the run engine stops on them and the list shows them. Each kind of request
// (lines of one file, functions, instructions, data) replaces its own group
// whole, as the protocol asks; a group's entries carry the group's name, and
// only those are removed, so the workspace's own entries stay.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "debugger/breakpoints.h"

namespace hc11::dap {

// The entry names of the groups (and so of their list entries).
inline constexpr const char* kListingGroup = "dap ligne";
inline constexpr const char* kAssemblerGroup = "dap asm";
inline constexpr const char* kFunctionGroup = "dap fonction";
inline constexpr const char* kInstructionGroup = "dap adresse";
inline constexpr const char* kDataGroup = "dap donnee";

struct BreakPlace {
  std::uint16_t address = 0;
  char kind = 'C';  // as Tbreak::BreakKind
};

// One breakpoint the client asked for: where (several list entries for a
// data breakpoint over several bytes or accesses), and its extras as typed.
struct BreakRequest {
  std::vector<BreakPlace> places;  // empty: refused with `refusal`
  std::string refusal;
  std::string condition, hitCondition, logMessage;
};

struct BreakAnswer {
  int id = 0;
  bool verified = false;
  std::string message;  // why it was refused
  std::optional<std::uint16_t> address;
};

// Reads a hit condition: "N" (the Nth hit), "%N" or "*N" (every Nth). False
// with a message for anything else.
bool ParseHitCondition(const std::string& text, BreakExtras& extras, std::string& message);

class BreakGroups {
 public:
  // Replaces the entries named `group` by those of `requests`; one answer
  // per request, each with a new id.
  void Replace(BreakpointList& list, const std::string& group, const std::vector<BreakRequest>& requests,
               std::vector<BreakAnswer>& answers);
  // The client's id of the list entry that stopped a run, if it is one of ours.
  std::optional<int> IdOf(const BreakpointList& list, std::size_t entry) const;
  // The group of a list entry; empty when it is not one of ours.
  std::string GroupOf(const BreakpointList& list, std::size_t entry) const;
  // Enters every group again (after a load emptied the list).
  void Reapply(BreakpointList& list);

 private:
  struct Group {
    std::vector<BreakRequest> requests;
    std::vector<BreakAnswer> answers;
  };
  void Enter(BreakpointList& list, const std::string& group, Group& g);
  std::map<std::string, Group> groups_;
  int nextId_ = 1;
};

}  // namespace hc11::dap
