#pragma once

#include <string>

namespace quillmere {

// The hosts a build talks to, fixed when it is built.
struct Hosts {
    std::string listServer;  // host[:port] of the list server
    std::string productHost; // the product site's host
    std::string submitHost;  // the product site's submission host
};

// What the window is built with: the hosts and this process's private staging directory.
struct Settings {
    Hosts hosts;
    std::string stagingDirectory;
};

} // namespace quillmere
