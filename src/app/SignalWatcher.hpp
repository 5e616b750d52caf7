#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a clean quit of the Qt event loop. The handler itself
// only writes to a pipe; the loop reads it and quits, so nothing unsafe runs in the handler.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

Q_SIGNALS:
    void terminationRequested(int signal);

private:
    static void handle(int signal);
    QSocketNotifier* m_notifier = nullptr;
};
