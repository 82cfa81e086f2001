#pragma once

#include <string>

#include "app/settings.h"

namespace quillmere::testing {

// The hosts every test builds with: the given list server and the example product site.
inline Hosts testHosts(std::string listServer)
{
    return {std::move(listServer), "quillmere.example", "submit.quillmere.example"};
}

} // namespace quillmere::testing
