#pragma once

#include <chrono>
#include <string>

class QNetworkReply;

namespace quillmere::platform {

// Gives `reply` until `timeout` from now to finish, however steadily its bytes arrive; then it
// is aborted, and missedDeadline() says why. QNetworkRequest's own transfer time-out counts only
// silence, so a server that sends a line every half second would hold it open for ever.
void setDeadline(QNetworkReply* reply, std::chrono::milliseconds timeout);
bool missedDeadline(const QNetworkReply* reply);

// "timed out after 60 s", for the failure that names the address.
std::string timedOutText(std::chrono::milliseconds timeout);

} // namespace quillmere::platform
