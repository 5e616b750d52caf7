#include "platform/workspace/SystemInformation.hpp"

#include <QString>
#include <QSysInfo>

namespace tidemark {

std::string operatingSystemVersionString()
{
    auto text = QSysInfo::prettyProductName() + QStringLiteral(" (") + QSysInfo::kernelType()
        + QLatin1Char(' ') + QSysInfo::kernelVersion() + QLatin1Char(')');
    return text.toStdString();
}

} // namespace tidemark
