#pragma once

#include <cstdint>
#include <map>

#include <QRect>
#include <QRectF>
#include <QTransform>

#include "swf/player.h"

namespace quillmere::swf::qt {

class Outlines;

// Which pixels a new frame may change: each top-level object is remembered by a fingerprint of
// everything that decides how it looks, and by where it drew.
class Damage {
public:
    struct Seen {
        std::uint64_t fingerprint;
        QRectF bounds; // device pixels
    };

    // The pixels `transform` maps `list` to that may differ from what the list showed when this
    // was last asked, or from nothing the first time; empty when nothing changed.
    QRect changedArea(const DisplayList& list, const QTransform& transform, Outlines& outlines);

private:
    std::map<std::int32_t, Seen> seen_; // by depth
};

// A fingerprint of everything that decides how `object` looks but where its parent puts it, and
// where it draws, its filters' reach included, in device pixels: `parent` takes its parent's
// coordinates there, and a pixel of the stage is `stageScale` device pixels.
Damage::Seen appearanceOf(const DisplayObject& object, const QTransform& parent, double stageScale, Outlines& outlines);

// The pixels that hold `area` and a pixel more each side, where an anti-aliased edge can
// reach, within the range a QRect holds whatever `area` holds.
QRect pixelsAround(const QRectF& area);

// Device pixels a pixel of the stage spans under `stageToDevice`, which takes twips.
double stageScaleOf(const QTransform& stageToDevice);

} // namespace quillmere::swf::qt
