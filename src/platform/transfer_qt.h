#pragma once

#include <chrono>
#include <cstddef>
#include <limits>
#include <vector>

#include <QPointer>

#include "platform/transfer.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace quillmere::platform {

// HTTP GET through QNetworkAccessManager: waited for in a nested event loop, or in the
// background.
// Does: port 80 unless the address names one, redirects, a deadline for the whole transfer
// (from the request to the last byte), a limit on the body's size checked as bytes arrive,
// HTTP status check, abort when the application is quitting.
// Does not: proxies of its own, authentication, caching, retries.
class QtTransfer : public Transfer {
public:
    QtTransfer(QNetworkAccessManager& network, std::chrono::milliseconds timeout,
               std::size_t byteLimit = std::numeric_limits<std::size_t>::max());
    Bytes fetch(const std::string& address) override;
    std::unique_ptr<Pending> fetchInBackground(const std::string& address, std::function<void(Result)> done) override;
    void abort() override;

private:
    struct Started;
    Started start(const std::string& address);
    Bytes finish(const Started& started);

    QNetworkAccessManager& network_;
    std::chrono::milliseconds timeout_;
    std::size_t byteLimit_;
    std::vector<QPointer<QNetworkReply>> active_; // fetches can nest: events run while one waits
};

} // namespace quillmere::platform
