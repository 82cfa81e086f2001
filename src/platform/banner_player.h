#pragma once

#include <string>

namespace quillmere::platform {

// Plays the advertising banner in its area of the window. Loading happens in the background:
// neither call blocks or runs window events, and a banner that cannot be loaded leaves the
// area blank. Never throws.
class BannerPlayer {
public:
    virtual ~BannerPlayer() = default;
    virtual void loadMovie(int layer, const std::string& address) = 0;
    virtual void play() = 0;
};

} // namespace quillmere::platform
