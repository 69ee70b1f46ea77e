#include "board/panel_text.h"

#include "core/text_util.h"

namespace hc11 {

std::string PanelText(const Board& board) {
  const auto& seg = board.Ecran1.Segments;
  std::string out =
      "panel: Ecran1=" + Format("%2.2X %2.2X %2.2X %2.2X", seg[0], seg[1], seg[2], seg[3]) + '\n';
  out += Format("panel: Led1Ton=%d\n", board.Led1Ton ? 1 : 0);
  out += Format("panel: Led2Hp=%d\n", board.Led2Hp ? 1 : 0);
  out += Format("panel: Led3Klx=%d\n", board.Led3Klx ? 1 : 0);
  out += Format("panel: Led4MA=%d\n", board.Led4MA ? 1 : 0);
  out += "panel: LbPcf8574=" + board.LbPcf8574 + '\n';
  out += "panel: LbOutA=" + board.LbOutA + '\n';
  out += "panel: LbSynth=" + board.LbSynth + '\n';
  for (const std::string& line : board.Memo1) out += "memo: " + line + '\n';
  return out;
}

}  // namespace hc11
