#pragma once

#include <QObject>

namespace tidemark {

class SingleInstance;

// What the running instance serves on the session bus: one method, Activate, which a later
// start calls to have the running instance show itself.
class InstanceBusObject final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.tidemark.Instance")
public:
    explicit InstanceBusObject(SingleInstance& instance)
        : m_instance(instance)
    {
    }

public Q_SLOTS:
    Q_SCRIPTABLE void Activate();

private:
    SingleInstance& m_instance;
};

} // namespace tidemark
