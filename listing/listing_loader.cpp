#include "listing/listing_loader.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "core/message_text.h"
#include "core/text_util.h"
#include "listing/function_list.h"
#include "listing/line_reader.h"
#include "listing/listing_files.h"
#include "listing/macro_table.h"

namespace hc11 {

namespace {

constexpr long long kNoLineNumber = 0xFFFF;
constexpr long long kMacroLineNumber = 99999;
constexpr std::size_t kNoSemicolonPos = 255;  // where a line without ";" is cut
constexpr std::size_t kCommentMax = 255;
constexpr std::size_t kSourceMax = 250;
constexpr std::size_t kSourceColumn = 29;
constexpr int kMaxCondLevel = 5;
constexpr std::size_t kExcerptMax = 21;

// Columns counted from 1; anything past the end reads as empty.
std::string Columns(std::string_view s, std::size_t first, std::size_t count) {
  if (first > s.size()) return {};
  return std::string(s.substr(first - 1, count));
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The callee of a "call" or "callr" operand: its first word, without a
// leading ">"; empty for an operand that names no routine (an indexed call).
std::string CalleeOf(std::string operand) {
  std::string callee = NextToken(operand, " ");
  if (StartsWith(callee, ">")) callee.erase(0, 1);
  return callee.find("$00") == std::string::npos ? callee : std::string();
}

class ListingLoader {
 public:
  ListingLoader(Listing& listing, std::uint16_t& startPC, Messages& messages)
      : listing_(listing), startPC_(startPC), messages_(messages) {}

  void Run(LineReader& reader, bool readSymbols, const MemoryImage* memory) {
    std::string lastRead;
    while (!reader.AtEnd() && lastRead.find("S Y M B O L") == std::string::npos && !endSeen_) {
      std::string line = reader.Next();
      lastRead = line;
      const int directiveLine = reader.LineNumber();
      if (!ReadMacroDirectives(reader, line, listing_.Macros))
        ReportError(
            Format(";!macros sans ;!endmacro (ligne %d du listing) : la fin du listing est lue "
                   "comme définitions de macros",
                   directiveLine));
      fileLine_ = reader.LineNumber();
      ParseLine(line);
    }
    if (readSymbols && lastRead.find("S Y M B O L") != std::string::npos)
      ReadSymbolSection(reader, listing_.Symbols.ListSymbI, memory);
  }

 private:
  void ParseLine(const std::string& line);
  std::string SplitSourceField(const std::string& src);
  void AddInstructionLine(const std::string& mnemonic);
  void AddMacroExpansionLine(const std::string& source);
  void SourceLineWithoutCode(const std::string& src);
  void CommentLine();
  void AddRecord(TSynElem record);

  void OpenCondition(bool value);
  void ConditionIf();
  void ConditionElse();
  void ConditionEndif();
  void ReportError(const std::string& text) { messages_.Show(MsgKind::Error, "Erreur", text); }

  Listing& listing_;
  std::uint16_t& startPC_;
  Messages& messages_;
  int fileLine_ = 0;

  // State kept across lines.
  bool inCode_ = false;
  bool endSeen_ = false;
  std::array<bool, kMaxCondLevel + 1> condStack_{true};
  int condDepth_ = 0;
  bool condActive_ = true;
  // Levels opened beyond the table's depth; their conditions count as false.
  std::vector<bool> deepLevels_;
  int lineCount_ = 0;
  std::string curLabel_;
  std::string macroName_, macroArgs_, macroComment_, macroLabel_;
  int expCount_ = 0;
  std::uint16_t addr_ = 0;

  // Values of the line being parsed.
  long long lineNo_ = kNoLineNumber;
  bool addrValid_ = false;
  std::string addrText_, codeText_, operand_, comment_, target_;
  std::uint8_t op1_ = 0x18, op2_ = 0;
};

void ListingLoader::ParseLine(const std::string& line) {
  lineNo_ = kNoLineNumber;
  const std::string numberField = Trim(Columns(line, 23, 5));
  if (auto n = StrToIntSigned(numberField)) lineNo_ = *n;
  if (StartsWith(numberField, "1M")) lineNo_ = kMacroLineNumber;

  const std::size_t semicolon = line.find(';');
  const std::size_t p = semicolon == std::string::npos ? kNoSemicolonPos : semicolon + 1;
  comment_ = Columns(line, p + 1, kCommentMax);
  const std::string cut = Columns(line, 1, p - 1);

  addrText_ = Columns(cut, 1, 4);
  if (auto a = StrToWord("$" + addrText_)) {
    addr_ = *a;
    addrValid_ = true;
  } else {
    addrText_.clear();
    addrValid_ = false;
  }
  codeText_ = Columns(cut, 6, 5);
  op1_ = 0x18;
  op2_ = 0;
  std::string src = Columns(cut, kSourceColumn, kSourceMax);
  const std::string source = src;

  if (lineNo_ != kNoLineNumber && addrValid_ && condActive_) src = SplitSourceField(src);
  if (addrValid_ && codeText_.empty()) return;

  const std::string directive = ToLower(src);
  if (directive == "org") {
    inCode_ = true;
    lineCount_ = 0;
    return;
  }
  if (directive == "end") {
    inCode_ = false;
    endSeen_ = true;
    lineCount_ = 0;
    return;
  }
  if (directive == "macro") {
    curLabel_.clear();
    inCode_ = false;
    return;
  }
  if (ToLower(Columns(src, 9, 100)) == "endm") {
    inCode_ = true;
    curLabel_.clear();
    lineCount_ = 0;
    return;
  }
  if (!inCode_) return;

  if (lineNo_ == kMacroLineNumber && condActive_) {
    AddMacroExpansionLine(source);
    return;
  }
  if (lineNo_ == kNoLineNumber) {
    if (cut.size() > kSourceColumn && cut[27] == 'M' && IsDigit(cut[0])) AddMacroExpansionLine(source);
    return;
  }
  if (addrValid_ && condActive_) {
    AddInstructionLine(src);
    return;
  }
  if (cut.size() > kSourceColumn) {
    SourceLineWithoutCode(src);
    return;
  }
  CommentLine();
}

// Label (when the field does not start with a blank or "#"), mnemonic and
// operand. "equ" records the constant; neither it nor "ds" names code.
std::string ListingLoader::SplitSourceField(const std::string& src) {
  std::string rest = src;
  if (src.empty() || src[0] == ' ' || src[0] == '#') {
    std::string mnemonic = NextToken(rest, " ");
    operand_ = Trim(rest);
    return mnemonic;
  }
  std::string label = NextToken(rest, " :");
  curLabel_ = label;
  std::string mnemonic = NextToken(rest, " ");
  operand_ = Trim(rest);
  const std::string lower = ToLower(mnemonic);
  if (lower == "equ") {
    listing_.ConstantList.try_emplace(std::move(label), TLabElem{std::string(), rest});
    curLabel_.clear();
  } else if (lower == "ds") {
    curLabel_.clear();
  }
  return mnemonic;
}

void ListingLoader::AddInstructionLine(const std::string& mnemonic) {
  (*listing_.ListingMap)[addr_] = kMapListing;
  if (auto v = StrToWord("$" + Columns(codeText_, 1, 2))) op1_ = static_cast<std::uint8_t>(*v);
  if (auto v = StrToWord("$" + Columns(codeText_, 4, 2))) op2_ = static_cast<std::uint8_t>(*v);
  macroName_.clear();
  expCount_ = 0;
  target_.clear();

  const std::string m = ToLower(mnemonic);
  std::string text;
  if (StartsWith(m, "dw") && !operand_.empty()) AddFonction(listing_.FunctionList, operand_, addr_);
  if (StartsWith(m, "jmp") || StartsWith(m, "jr")) {
    target_ = Trim(operand_);
    if (StartsWith(target_, ">")) target_.erase(0, 1);
    text = "jmp";
  } else if (StartsWith(m, "call")) {
    std::string operand = operand_;
    std::string callee = NextToken(operand, " ");
    if (StartsWith(callee, ">")) callee.erase(0, 1);
    text = "call " + callee;
    if (callee.find("$00") == std::string::npos) AddFonction(listing_.FunctionList, callee, addr_);
  } else {
    text = operand_.empty() ? mnemonic : mnemonic + " " + operand_;
  }

  TSynElem record;
  record.AddrText = addrText_;
  record.Label = curLabel_;
  record.Text = std::move(text);
  record.Target = target_;
  record.Comment = comment_;
  record.Op1 = op1_;
  record.Op2 = op2_;
  AddRecord(std::move(record));
  ++lineCount_;

  if (ToLower(curLabel_) == "debprog_") startPC_ = addr_;
  // Only a label on the first instruction after an origin names an entry point.
  if (!curLabel_.empty() && lineCount_ == 1) AddFonction(listing_.FunctionList, curLabel_, addr_);
  curLabel_.clear();
}

// A macro call becomes one record spanning its whole expansion. Expansion
// lines that show no address (comments and blank lines of the macro body)
// generate no code, so they neither start nor stretch that record. A call in
// the expansion is a call of the program like any other: its routine is a
// function even when no line outside a macro calls it.
void ListingLoader::AddMacroExpansionLine(const std::string& source) {
  if (!addrValid_) {
    curLabel_.clear();
    return;
  }
  (*listing_.ListingMap)[addr_] = kMapListing;
  std::string words = source;
  if (!words.empty() && words[0] != ' ' && words[0] != '#') NextToken(words, " :");  // a label
  if (StartsWith(ToLower(NextToken(words, " ")), "call")) {
    if (const std::string routine = CalleeOf(Trim(words)); !routine.empty())
      AddFonction(listing_.FunctionList, routine, addr_);
  }
  if (macroName_.empty() && expCount_ == 0) return;
  if (expCount_ == 0) {
    TSynElem record;
    record.AddrText = addrText_;
    record.Label = macroLabel_;
    record.Text = macroArgs_.empty() ? macroName_ : macroName_ + " " + macroArgs_;
    record.Comment = macroComment_;
    AddRecord(std::move(record));
    // A labelled call starts at its first generated byte.
    if (ToLower(macroLabel_) == "debprog_") startPC_ = addr_;
    macroName_.clear();
  } else if (!listing_.LineList.empty()) {
    listing_.LineList.back().AddrEndText = addrText_;
  }
  ++expCount_;
  curLabel_.clear();
}

// A source line without an assembled address inside code, or any source line
// inside a false condition: conditional directives and macro calls.
void ListingLoader::SourceLineWithoutCode(const std::string& src) {
  const std::string mnemonic = SplitSourceField(src);
  if (!condActive_) curLabel_.clear();
  const std::string m = ToLower(mnemonic);
  if (m == "if") {
    ConditionIf();
  } else if (m == "else") {
    ConditionElse();
  } else if (m == "endif") {
    ConditionEndif();
  } else if (IsMacroName(listing_.Macros, mnemonic)) {
    macroName_ = mnemonic;
    macroArgs_ = operand_;
    macroComment_ = comment_;
    macroLabel_ = curLabel_;
  }
  target_.clear();
  expCount_ = 0;
}

// A numbered line whose source field holds at most a comment.
void ListingLoader::CommentLine() {
  if (comment_.empty()) return;
  if (!macroName_.empty()) {
    // The remembered macro call produced no code: mark where it stood.
    TSynElem separator;
    separator.Comment = "SepMacro";
    separator.Op1 = op1_;
    separator.Op2 = op2_;
    AddRecord(std::move(separator));
    macroName_.clear();
  }
  TSynElem record;
  record.Comment = comment_;
  record.Op1 = op1_;
  record.Op2 = op2_;
  AddRecord(std::move(record));
}

void ListingLoader::AddRecord(TSynElem record) {
  if (record.AddrText.empty() && record.Comment.empty()) return;
  listing_.LineList.push_back(std::move(record));
}

void ListingLoader::OpenCondition(bool value) {
  if (deepLevels_.empty() && condDepth_ < kMaxCondLevel) {
    ++condDepth_;
    condStack_[static_cast<std::size_t>(condDepth_)] = value;
    condActive_ = value;
    return;
  }
  ReportError(
      Format("Conditions imbriquées au-delà du niveau %d (ligne %d du listing) : "
             "condition traitée comme fausse",
             kMaxCondLevel, fileLine_));
  deepLevels_.push_back(false);
  condActive_ = false;
}

// An "if" whose constant is unknown or not a number still opens its level,
// as false, so that its "else" and "endif" stay paired with it.
void ListingLoader::ConditionIf() {
  const auto constant = listing_.ConstantList.find(operand_);
  if (constant == listing_.ConstantList.end()) {
    ReportError(Format("non trouvé  if %s", QuoteText(operand_).c_str()));
    OpenCondition(false);
    return;
  }
  const std::string valueText = Trim(constant->second.second);
  const auto value = StrToIntSigned(valueText);
  if (!value) {
    ReportError(
        Format("if %s : la valeur \"%s\" n'est pas un nombre (ligne %d du listing) : "
               "condition traitée comme fausse",
               QuoteText(operand_).c_str(), QuoteText(valueText).c_str(), fileLine_));
    OpenCondition(false);
    return;
  }
  OpenCondition(*value != 0);
}

void ListingLoader::ConditionElse() {
  if (!deepLevels_.empty()) {
    deepLevels_.back() = !deepLevels_.back();
    condActive_ = deepLevels_.back();
    return;
  }
  if (condDepth_ == 0) {
    ReportError(Format("else sans if ouvert (ligne %d du listing) : ignoré", fileLine_));
    return;
  }
  auto& level = condStack_[static_cast<std::size_t>(condDepth_)];
  level = !level;
  condActive_ = level;
}

void ListingLoader::ConditionEndif() {
  if (!deepLevels_.empty()) {
    deepLevels_.pop_back();
    condActive_ = deepLevels_.empty() ? condStack_[static_cast<std::size_t>(condDepth_)] : deepLevels_.back();
    return;
  }
  if (condDepth_ == 0) {
    ReportError(Format("endif sans if ouvert (ligne %d du listing) : ignoré", fileLine_));
    return;
  }
  --condDepth_;
  condActive_ = condStack_[static_cast<std::size_t>(condDepth_)];
}

void ClearForLoad(Listing& listing) {
  if (!listing.ListingMap) listing.ListingMap = std::make_unique<TListingMap>();
  listing.ListingMap->fill(0);
  listing.FunctionList.entries.clear();
  listing.LineList.clear();
  listing.Macros.clear();
}

}  // namespace

void ParseListingText(Listing& listing, std::string_view text, std::uint16_t& startPC, Messages& messages,
                      bool readSymbols, const MemoryImage* memory) {
  ClearForLoad(listing);
  // At most one record a line: growing a list of a million records step by
  // step would move it many times over.
  listing.LineList.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  LineReader reader(text);
  ListingLoader(listing, startPC, messages).Run(reader, readSymbols, memory);
  // A long symbol section reserved room for records it never made.
  if (listing.LineList.capacity() > 2 * listing.LineList.size() + 1024) listing.LineList.shrink_to_fit();
}

bool ReadListing(Listing& listing, const std::string& programName, std::uint16_t& startPC, Messages& messages,
                 bool readSymbols, const MemoryImage* memory) {
  ClearForLoad(listing);
  const auto text = ReadWholeFile(ListingFileName(programName));
  if (!text) return false;
  ParseListingText(listing, *text, startPC, messages, readSymbols, memory);
  return true;
}

bool LoadListing(Listing& listing, const std::string& programName, std::uint16_t& startPC, Messages& messages,
                 bool readSymbols, const MemoryImage* memory) {
  if (!ReadListing(listing, programName, startPC, messages, readSymbols, memory)) return false;
  SaveFonctFile(listing.FunctionList, programName, messages);
  return true;
}

bool ReadListingExcerpt(std::string_view startPrefix, std::string_view endPrefix,
                        const std::string& programName, std::vector<std::string>& lines) {
  const auto text = ReadWholeFile(ListingFileName(programName));
  if (!text) return false;
  LineReader reader(*text);
  std::size_t taken = 0;
  bool collecting = false;
  while (!reader.AtEnd() && taken < kExcerptMax) {
    std::string line = reader.Next();
    if (!collecting && !StartsWith(line, startPrefix)) {
      if (StartsWith(line, endPrefix)) break;
      continue;
    }
    collecting = true;
    const bool last = StartsWith(line, endPrefix);
    lines.push_back(std::move(line));
    ++taken;
    if (last) break;
  }
  return true;
}

}  // namespace hc11
