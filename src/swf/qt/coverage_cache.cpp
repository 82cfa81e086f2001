#include "swf/qt/coverage_cache.h"

#include <functional>

namespace quillmere::swf::qt {

bool CoverageCache::Key::operator==(const Key& other) const
{
    // The matrix and the clip first: they are cheap and tell most outlines apart. Outlines
    // compare by their shared data before their points.
    return transform == other.transform && clip == other.clip && path == other.path;
}

std::size_t CoverageCache::KeyHash::operator()(const Key& key) const
{
    std::size_t hash = std::size_t(key.path.elementCount());
    const auto mix = [&hash](auto value) { hash = hash * 1099511628211u ^ std::hash<decltype(value)>{}(value); };
    const QTransform& m = key.transform;
    for (const double value : {m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()})
        mix(value);
    for (const int value : {key.clip.left(), key.clip.top(), key.clip.right(), key.clip.bottom()})
        mix(value);
    return hash;
}

SampleCoverage* CoverageCache::find(const QPainterPath& path, const QTransform& transform, QRect clip)
{
    const auto found = entries_.find(Key{path, transform, clip});
    if (found == entries_.end())
        return nullptr;
    found->second.lastUsed = drawing_;
    found->second.coverage.rewind();
    return &found->second.coverage;
}

void CoverageCache::keep(const QPainterPath& path, const QTransform& transform, QRect clip,
                         const SampleCoverage& coverage)
{
    if (crossings_ + coverage.size() > kMostCrossings || entries_.size() >= kMostEntries)
        return;
    const auto [at, made] = entries_.try_emplace(Key{path, transform, clip}, Entry{coverage.finishedCopy(), drawing_});
    if (made)
        crossings_ += coverage.size();
}

void CoverageCache::endDrawing()
{
    std::erase_if(entries_, [this](const auto& entry) {
        const bool stale = entry.second.lastUsed + 1 < drawing_; // used in neither this drawing nor the last
        if (stale)
            crossings_ -= entry.second.coverage.size();
        return stale;
    });
    ++drawing_;
}

} // namespace quillmere::swf::qt
