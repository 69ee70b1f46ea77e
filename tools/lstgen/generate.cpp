#include "tools/lstgen/generate.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "tools/lstgen/assembly.h"
#include "tools/lstgen/listing_writer.h"

namespace hc11::lstgen {

namespace {

bool WriteWhole(const std::string& path, const std::string& content, std::ostream& messages) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out) {
      messages << "cannot write " << temporary << "\n";
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    messages << "cannot replace " << path << ": " << ec.message() << "\n";
    std::filesystem::remove(temporary, ec);
    return false;
  }
  return true;
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
