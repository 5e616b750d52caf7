#pragma once

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace tidemark {

// How one instance per user session is told apart from the others.
struct SingleInstanceConfiguration {
    // The session-bus name the running instance holds and the object it serves there.
    QString serviceName;
    QString objectPath;
    // Where the lock file lies when there is no session bus: $XDG_RUNTIME_DIR, else the
    // application's state folder.
    std::filesystem::path lockDirectory;
    // Tests switch the bus off to try the lock file.
    bool useSessionBus = true;

    // The application's bundle identifier on the session bus, its lock file in
    // $XDG_RUNTIME_DIR (or $XDG_STATE_HOME/tidemark).
    static SingleInstanceConfiguration standard();
};

enum class InstanceRole {
    // This process is the one instance: it holds the name (or the lock) until it ends.
    primary,
    // Another process holds it.
    secondary,
};

// One running instance per user session. The first process to start takes a name on the
// session bus (which the bus hands out to one connection only, so two starts in the same
// instant cannot both get it) and serves a small object there; a later start finds the
// name taken, asks that object to show the running instance and ends. Without a session
// bus, an exclusive lock on a file plays the name's part, and a later start can only be
// told that the first one runs. Used on the main thread.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(SingleInstanceConfiguration configuration, QObject* parent = nullptr);
    ~SingleInstance() override;

    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the name (or the lock) for this process, once; later calls give the same role.
    // Where neither can be had for another reason than a running instance, this process
    // runs as the primary and `problem()` says why.
    InstanceRole claim();
    // Whether the session bus carries the claim (false: the lock file does).
    bool usesSessionBus() const { return m_usesSessionBus; }
    const std::string& problem() const { return m_problem; }

    // For a secondary: asks the running instance to show itself and waits for its answer.
    // False, with `problem()` set, when it did not answer (or only the lock file tells of
    // it, which carries no requests).
    bool activateRunningInstance();

    // For the primary: called on the main thread for each request of another start. A
    // request that comes before a handler is set waits for it.
    void setActivationHandler(std::function<void()> handler);

    // Requests received so far.
    int activationRequests() const { return m_requests; }

    // Called by the bus object.
    void receiveActivation();

private:
    bool claimSessionBusName();
    bool claimLockFile();

    SingleInstanceConfiguration m_configuration;
    std::unique_ptr<QObject> m_busObject;
    std::function<void()> m_handler;
    int m_pending = 0;
    int m_requests = 0;
    int m_lockFile = -1;
    bool m_claimed = false;
    bool m_usesSessionBus = false;
    InstanceRole m_role = InstanceRole::primary;
    std::string m_problem;
};

} // namespace tidemark
