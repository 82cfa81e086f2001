#pragma once

#include <QPainterPath>
#include <QTransform>

#include "swf/player.h"

namespace quillmere::swf::qt {

class Outlines;

// The area an object covers, in device pixels: what a mask lets through, and where a button's
// hit area can be clicked. Fills only: strokes and colours do not count.
QPainterPath coverage(const DisplayObject& object, const QTransform& parentTransform, Outlines& outlines);

} // namespace quillmere::swf::qt
