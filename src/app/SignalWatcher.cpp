#include "app/SignalWatcher.hpp"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};
}

SignalWatcher::SignalWatcher(QObject* parent)
    : QObject(parent)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        int signal = 0;
        while (::read(g_pipe[0], &signal, sizeof signal) == sizeof signal)
            Q_EMIT terminationRequested(signal);
    });
    struct sigaction action {};
    action.sa_handler = &SignalWatcher::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

SignalWatcher::~SignalWatcher()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

void SignalWatcher::handle(int signal)
{
    [[maybe_unused]] auto written = ::write(g_pipe[1], &signal, sizeof signal);
}
