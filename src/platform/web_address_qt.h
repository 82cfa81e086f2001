#pragma once

#include <optional>
#include <string>

#include <QUrl>

namespace quillmere::platform {

// The address as a URL the desktop may be given: strictly valid, http or https, with a host.
// Anything else, list entries that are not site names included, is no address to open.
std::optional<QUrl> webAddress(const std::string& address);

} // namespace quillmere::platform
