#pragma once

#include <chrono>

#include "platform/transfer.h"

class QNetworkAccessManager;

namespace quillmere::platform {

// HTTP GET through QNetworkAccessManager, waited for in a nested event loop.
// Does: port 80 unless the address names one, redirects, a time-out for the whole transfer,
// HTTP status check, abort when the application is quitting.
// Does not: proxies of its own, authentication, caching, retries.
class QtTransfer : public Transfer {
public:
    QtTransfer(QNetworkAccessManager& network, std::chrono::milliseconds timeout);
    std::string fetch(const std::string& address) override;

private:
    QNetworkAccessManager& network_;
    std::chrono::milliseconds timeout_;
};

} // namespace quillmere::platform
