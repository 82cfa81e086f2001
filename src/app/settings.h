#pragma once

#include <string>

namespace quillmere {

// What the window is built with: the build-time hosts and the process's staging directory.
struct Settings {
    std::string listServer;       // host[:port] of the list server
    std::string productHost;      // the product site's host
    std::string submitHost;       // the product site's submission host
    std::string stagingDirectory; // private to this process; holds the staging files
};

} // namespace quillmere
