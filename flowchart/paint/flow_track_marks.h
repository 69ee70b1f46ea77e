// Painting of the clear layout's jumps: a jump on a track lands on its
// target's side with a filled arrowhead; jumps to one target that join get
// a dot; a decision's jump exit carries a small "oui" (or "non") tag.
#pragma once

#include <QFont>
#include <QPainter>

#include "flowchart/sheet.h"

namespace hc11 {

// The vertical line of a jump laid on a track.
void PaintTrackLine(QPainter& p, const Flowchart& sheet, const TLigneV& line);
// Its exit or landing stub; the landing stub ends in the arrowhead.
void PaintTrackStub(QPainter& p, const TLigneH& stub);
// The junction dots and the exit tags of the whole sheet, over its lines.
void PaintJumpMarks(QPainter& p, const Flowchart& sheet, const QFont& font);

}  // namespace hc11
