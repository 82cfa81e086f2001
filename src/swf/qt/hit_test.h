#pragma once

#include <cstdint>

#include <QPointF>
#include <QTransform>

#include "swf/player.h"

namespace quillmere::swf::qt {

class Outlines;

// The topmost button in the main timeline's `list` (and the sprites in it) whose hit area holds
// `point`, in the device units `stage` maps the stage to; 0 when none does.
std::uint64_t buttonAt(const DisplayList& list, const QTransform& stage, QPointF point, Outlines& outlines);

} // namespace quillmere::swf::qt
