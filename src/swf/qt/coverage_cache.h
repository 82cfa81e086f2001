#pragma once

#include <cstdint>
#include <unordered_map>

#include <QPainterPath>
#include <QRect>
#include <QTransform>

#include "swf/qt/sample_coverage.h"

namespace quillmere::swf::qt {

// The sample coverage of outlines drawn in one drawing, kept for the next: most of a banner
// stays where it was from frame to frame, and its edges need not be found again. An entry is
// dropped once a drawing and the one after it have not used it, and no more than kMostCrossings
// in kMostEntries are kept.
class CoverageCache {
public:
    static constexpr std::size_t kMostCrossings = std::size_t(1) << 22; // 32 MB
    static constexpr std::size_t kMostEntries = std::size_t(1) << 16;

    // The finished coverage of `path` through `transform` within `clip`, if kept, ready to be
    // asked row by row. It stays valid until endDrawing().
    SampleCoverage* find(const QPainterPath& path, const QTransform& transform, QRect clip);
    // Keeps a copy of `coverage`, finished, as that of `path` through `transform` within `clip`.
    void keep(const QPainterPath& path, const QTransform& transform, QRect clip, const SampleCoverage& coverage);
    void endDrawing();

private:
    struct Key {
        QPainterPath path; // a copy: the outline stays alive, and its address is never reused
        QTransform transform;
        QRect clip;
        bool operator==(const Key& other) const;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct Entry {
        SampleCoverage coverage;
        std::uint64_t lastUsed;
    };

    std::unordered_map<Key, Entry, KeyHash> entries_;
    std::size_t crossings_ = 0;
    std::uint64_t drawing_ = 0;
};

} // namespace quillmere::swf::qt
