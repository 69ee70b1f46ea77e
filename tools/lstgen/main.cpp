// hc11flow-lstgen SOURCE.asm OUTBASE: writes OUTBASE.lst and OUTBASE.HEX.
#include <iostream>

#include "tools/lstgen/generate.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: hc11flow-lstgen SOURCE.asm OUTBASE\n"
                 "  assembles SOURCE.asm into OUTBASE.lst (listing) and OUTBASE.HEX (Intel HEX)\n";
    return 2;
  }
  return hc11::lstgen::GenerateFiles(argv[1], argv[2], std::cerr) ? 0 : 1;
}
