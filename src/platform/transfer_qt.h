#pragma once

#include <chrono>
#include <vector>

#include <QPointer>

#include "platform/transfer.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace quillmere::platform {

// HTTP GET through QNetworkAccessManager, waited for in a nested event loop.
// Does: port 80 unless the address names one, redirects, a deadline for the whole transfer
// (from the request to the last byte), HTTP status check, abort when the application is quitting.
// Does not: proxies of its own, authentication, caching, retries.
class QtTransfer : public Transfer {
public:
    QtTransfer(QNetworkAccessManager& network, std::chrono::milliseconds timeout);
    Bytes fetch(const std::string& address) override;
    void abort() override;

private:
    QNetworkAccessManager& network_;
    std::chrono::milliseconds timeout_;
    std::vector<QPointer<QNetworkReply>> active_; // fetches can nest: events run while one waits
};

} // namespace quillmere::platform
