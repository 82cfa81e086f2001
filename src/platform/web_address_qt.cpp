#include "platform/web_address_qt.h"

namespace quillmere::platform {

std::optional<QUrl> webAddress(const std::string& address)
{
    QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    const bool web = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (!url.isValid() || !web || url.host().isEmpty())
        return std::nullopt;
    return url;
}

} // namespace quillmere::platform
