#pragma once

namespace tidemark {

// The updater as the application's middleware sees it: a check the user asked for, whose
// outcome the updater shows itself. Free of Qt, so whatever asks for checks needs none.
class UpdaterServicable {
public:
    virtual ~UpdaterServicable() = default;
    // Checks now and shows every outcome; ignored while a check runs.
    virtual void checkForUpdates() = 0;
};

} // namespace tidemark
