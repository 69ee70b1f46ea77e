// The table's mnemonics in the usual Motorola spelling, shared by the tests
// that check encodings against the binutils 68HC11 assembler and disassembler.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace hc11::test {

inline const std::map<std::string_view, std::string_view> kMotorolaName = {
    {"test", "test"},  {"idiv", "idiv"},  {"fdiv", "fdiv"},   {"clv", "clv"},     {"clc", "clc"},
    {"cli", "cli"},    {"decA", "deca"},  {"decB", "decb"},   {"decX", "dex"},    {"tAB", "tab"},
    {"ldS", "lds"},    {"ldA", "ldaa"},   {"ldB", "ldab"},    {"ldD", "ldd"},     {"ldX", "ldx"},
    {"ldY", "ldy"},    {"stX", "stx"},    {"ei", "cli"},      {"di", "sei"},      {"callr", "bsr"},
    {"call", "jsr"},   {"jmp", "jmp"},    {"jr", "bra"},      {"ble", "ble"},     {"bne", "bne"},
    {"beq", "beq"},    {"bge", "bge"},    {"bhi", "bhi"},     {"bls", "bls"},     {"bcc", "bcc"},
    {"bcs", "bcs"},    {"blt", "blt"},    {"brset", "brset"}, {"brclr", "brclr"}, {"bitA", "bita"},
    {"bitB", "bitb"},  {"clrA", "clra"},  {"clrB", "clrb"},   {"mul", "mul"},     {"comA", "coma"},
    {"comB", "comb"},  {"aBX", "abx"},    {"clr", "clr"},     {"tstA", "tsta"},   {"tstB", "tstb"},
    {"pushA", "psha"}, {"pushB", "pshb"}, {"pushX", "pshx"},  {"popA", "pula"},   {"popB", "pulb"},
    {"popX", "pulx"},  {"incA", "inca"},  {"incB", "incb"},   {"incX", "inx"},    {"incY", "iny"},
    {"incS", "ins"},   {"decS", "des"},   {"bclr", "bclr"},   {"bset", "bset"},   {"cmpA", "cmpa"},
    {"cmpB", "cmpb"},  {"cmpX", "cpx"},   {"negA", "nega"},   {"negB", "negb"},   {"ret", "rts"},
    {"reti", "rti"},   {"tBA", "tba"},    {"tPA", "tpa"},     {"tSX", "tsx"},     {"tXS", "txs"},
    {"rolA", "rola"},  {"rolB", "rolb"},  {"rol", "rol"},     {"ror", "ror"},     {"lsr", "lsr"},
    {"lsl", "asl"},    {"lslA", "asla"},  {"lsrA", "lsra"},   {"lsrB", "lsrb"},   {"lsrD", "lsrd"},
    {"lslD", "asld"},  {"lslB", "aslb"},  {"aBA", "aba"},     {"oraA", "oraa"},   {"oraB", "orab"},
    {"andA", "anda"},  {"andB", "andb"},  {"xorA", "eora"},   {"xorB", "eorb"},   {"addA", "adda"},
    {"addB", "addb"},  {"addD", "addd"},  {"adcA", "adca"},   {"adcB", "adcb"},   {"subA", "suba"},
    {"subB", "subb"},  {"subD", "subd"},  {"cmpD", "cpd"},    {"sbcA", "sbca"},   {"sbcB", "sbcb"},
    {"xgDX", "xgdx"},  {"dec", "dec"},    {"inc", "inc"},     {"stD", "std"},     {"stA", "staa"},
    {"stB", "stab"},   {"nop", "nop"},    {"tAP", "tap"},     {"sev", "sev"},     {"sec", "sec"},
    {"sBA", "sba"},    {"cBA", "cba"},    {"daa", "daa"},     {"brn", "brn"},     {"bvc", "bvc"},
    {"bvs", "bvs"},    {"bpl", "bpl"},    {"bmi", "bmi"},     {"bgt", "bgt"},     {"wai", "wai"},
    {"swi", "swi"},    {"rorA", "rora"},  {"asrA", "asra"},   {"rorB", "rorb"},   {"asrB", "asrb"},
    {"neg", "neg"},    {"com", "com"},    {"asr", "asr"},     {"tst", "tst"},     {"stS", "sts"},
    {"stop", "stop"},  {"decY", "dey"},   {"tSY", "tsy"},     {"tYS", "tys"},     {"popY", "puly"},
    {"aBY", "aby"},    {"pushY", "pshy"}, {"cmpY", "cpy"},    {"xgDY", "xgdy"},   {"stY", "sty"},
};

// The table's mnemonic for a Motorola one as the disassembler prints it
// (aliases included); empty when the table has none. The first table row in
// name order wins where two rows share a spelling ("cli" for "ei" and "cli").
inline std::string TableMnemonicOf(std::string_view motorola) {
  static const std::map<std::string_view, std::string_view> reverse = [] {
    std::map<std::string_view, std::string_view> r = {
        {"bgnd", "test"}, {"bhs", "bcc"},   {"blo", "bcs"},   {"lsl", "lsl"},
        {"lsla", "lslA"}, {"lslb", "lslB"}, {"lsld", "lslD"},
    };
    for (const auto& [table, moto] : kMotorolaName) r.emplace(moto, table);
    return r;
  }();
  const auto it = reverse.find(motorola);
  return it == reverse.end() ? std::string() : std::string(it->second);
}

}  // namespace hc11::test
