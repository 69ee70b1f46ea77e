// The operand forms an instruction can be written with.
#pragma once

#include <string>
#include <string_view>

namespace hc11::lstgen {

enum class OperandForm {
  None,               // inherent
  Immediate,          // #value
  Address,            // addr, <addr (direct), >addr (extended), or a branch target
  Indexed,            // off,X  off,Y  ,X
  DirectMask,         // addr,#mask
  IndexedMask,        // off,X,#mask
  DirectMaskBranch,   // addr,#mask,target
  IndexedMaskBranch,  // off,X,#mask,target
};

enum class AddressSize { Auto, Direct, Extended };

struct ParsedOperand {
  OperandForm form = OperandForm::None;
  std::string value;   // immediate value, address, or index offset ("0" when empty)
  char reg = 0;        // 'X' or 'Y' for the indexed forms
  std::string mask;    // without its '#'
  std::string target;  // branch target of the mask-and-branch forms
  AddressSize size = AddressSize::Auto;
  std::string error;  // empty when the operand has one of the forms above
};

ParsedOperand ParseOperand(std::string_view operand);

// The operand as the listing shows it: parts joined by commas without blanks,
// the index register in capitals and an empty offset written $00.
std::string ListingOperand(const ParsedOperand& op, std::string_view asWritten);

}  // namespace hc11::lstgen
