#pragma once

#include <cstdint>

#include <QPointF>
#include <QTransform>

#include "swf/player.h"

namespace quillmere::swf::qt {

class Outlines;

// The topmost button in `list` (and the sprites in it) whose hit area holds `point`, in the
// device units `transform` maps the list to; 0 when none does.
std::uint64_t buttonAt(const DisplayList& list, const QTransform& transform, QPointF point, Outlines& outlines);

} // namespace quillmere::swf::qt
