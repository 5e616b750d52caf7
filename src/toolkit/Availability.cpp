#include "toolkit/Availability.hpp"

namespace tidemark {

OperatingSystemVersion defaultAvailablePreviewVersion()
{
    static const OperatingSystemVersion first = currentOperatingSystemVersion();
    return first;
}

bool allowsNewerFacility(const OperatingSystemVersion& running,
    const OperatingSystemVersion& previewVersion, AvailabilityTest test)
{
    if (running < newerFacilitiesVersion)
        return false;
    return test == AvailabilityTest::runningSystem || previewVersion >= running;
}

bool allowsNewerFacility(const QWidget* view, AvailabilityTest test)
{
    if (currentOperatingSystemVersion() < newerFacilitiesVersion)
        return false;
    if (test == AvailabilityTest::runningSystem)
        return true;
    const OperatingSystemVersion preview = environmentValue(view, availablePreviewVersionKey);
    return preview >= currentOperatingSystemVersion();
}

} // namespace tidemark
