// Code images: the program's Intel HEX file and the board's raw ".bin" files.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/machine.h"
#include "core/messages.h"

namespace hc11 {

// Copies every data record into Memory and, when the whole file was read,
// sets CodeEnd to one past the highest byte loaded. A broken file stops the
// load where it breaks: the bytes already stored stay, CodeEnd keeps its value
// and the failure is reported once (file, line number, reason). Returns
// whether the image loaded completely. `imageDigest`, when given, receives a
// digest of the addresses and bytes of the data records read, whatever the
// memory held before, so the same file always gives the same value.
bool LoadHexImage(Machine& m, const std::string& fileName, Messages& messages,
                  std::uint64_t* imageDigest = nullptr);

// Fills `buffer` from the start of `fileName` with its extension replaced by
// ".bin". A missing or short file is reported; the bytes that could be read
// stay in the buffer, the rest is left untouched.
bool LoadBinaryImage(const std::string& fileName, std::span<std::uint8_t> buffer, Messages& messages);

// The core's half of loading a program: write tags cleared, reset, HEX image,
// the periodic-interrupt vector read at $FFE8, tags cleared and reset again,
// run mode 'q', no step-over pending. StartPC must already be set.
bool LoadProgramImage(Machine& m, const std::string& hexFile, Messages& messages,
                      std::uint64_t* imageDigest = nullptr);

}  // namespace hc11
