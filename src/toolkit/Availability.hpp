#pragma once

#include "platform/foundation/OperatingSystemVersion.hpp"
#include "platform/ui/Environment.hpp"

namespace tidemark {

// Several views and behaviours come in two forms: the one the newer systems offer, and a
// fallback built from what older systems have. These shims choose by the platform version
// (OperatingSystemVersion), and some also by the preview version of their subtree, so that a
// preview or a test can force the fallback on the newest system.

// The first version that has the newer facilities.
inline constexpr OperatingSystemVersion newerFacilitiesVersion { 13, 0, 0 };

// The version the views of a subtree take the system for. Default: the running version as
// first asked for, kept for the life of the process. Nothing sets it but previews and tests.
OperatingSystemVersion defaultAvailablePreviewVersion();
inline const EnvironmentKey<OperatingSystemVersion> availablePreviewVersionKey {
    "availablePreviewVersion", &defaultAvailablePreviewVersion
};

enum class AvailabilityTest {
    // Only the running system decides.
    runningSystem,
    // The running system, then the subtree's preview version.
    runningSystemAndPreviewVersion,
};

// The rule as values: the newer facility when the running system is at least 13.0.0 and,
// for the second test, the preview version is at least the running version.
bool allowsNewerFacility(const OperatingSystemVersion& running,
    const OperatingSystemVersion& previewVersion, AvailabilityTest test);

// The rule for one view: the running version read afresh, the preview version from the
// view's environment (read only when the running system passes).
bool allowsNewerFacility(const QWidget* view, AvailabilityTest test);

} // namespace tidemark
