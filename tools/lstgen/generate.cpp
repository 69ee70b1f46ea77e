#include "tools/lstgen/generate.h"

#include <fstream>
#include <sstream>

#include "core/file_write.h"
#include "tools/lstgen/assembly.h"
#include "tools/lstgen/listing_writer.h"

namespace hc11::lstgen {

namespace {

bool WriteWhole(const std::string& path, const std::string& content, std::ostream& messages) {
  std::string reason;
  if (WriteFileWhole(path, content, reason)) return true;
  messages << "cannot write " << path << ": " << reason << "\n";
  return false;
}

}  // namespace

bool GenerateFiles(const std::string& sourcePath, const std::string& outBase, std::ostream& messages) {
  std::ifstream in(sourcePath, std::ios::binary);
  if (!in) {
    messages << "cannot read " << sourcePath << "\n";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  const Assembly assembly = Assemble(text.str());
  for (const Diagnostic& d : assembly.diagnostics)
    messages << sourcePath << ":" << d.line << ": " << (d.warning ? "warning" : "error") << ": " << d.message
             << "\n";
  if (!assembly.Ok()) return false;
  return WriteWhole(outBase + ".lst", FormatListing(assembly), messages) &&
         WriteWhole(outBase + ".HEX", FormatHex(assembly.image), messages);
}

}  // namespace hc11::lstgen
