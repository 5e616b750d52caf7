#include "platform/workspace/WebAddress.hpp"

#include <QString>
#include <QUrl>

namespace tidemark {

std::optional<std::string> webAddress(const std::string& text)
{
    QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()
        || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return std::nullopt;
    return url.toString(QUrl::FullyEncoded).toStdString();
}

} // namespace tidemark
