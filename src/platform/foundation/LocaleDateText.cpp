#include "platform/foundation/LocaleDateText.hpp"

#include <QDateTime>
#include <QLocale>

namespace tidemark {

std::string shortLocaleDateTimeText(Date date)
{
    const auto milliseconds
        = std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch()).count();
    const auto local = QDateTime::fromMSecsSinceEpoch(milliseconds);
    return QLocale::system().toString(local, QLocale::ShortFormat).toStdString();
}

} // namespace tidemark
