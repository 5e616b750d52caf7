#include "platform/eventstore/EventStorePrivate.hpp"

#include <QFileSystemWatcher>
#include <QTimer>

namespace fs = std::filesystem;

namespace tidemark {

using namespace eventstore;

rx::Publisher<rx::Unit> EventStore::changes() const
{
    return d->subject.publisher();
}

void EventStore::scheduleChange()
{
    if (!m_coalesce->isActive())
        m_coalesce->start();
}

void EventStore::watchAfterCommit()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshWatches();
            scheduleChange();
        },
        Qt::QueuedConnection);
}

void EventStore::deliverChange()
{
    Q_EMIT changed();
    d->subject.send(rx::Unit {});
}

void EventStore::refreshWatches()
{
    QStringList wanted;
    fs::path watchRoot = d->root;
    std::error_code error;
    while (!fs::is_directory(watchRoot, error) && watchRoot.has_parent_path()
        && watchRoot != watchRoot.parent_path())
        watchRoot = watchRoot.parent_path();
    wanted << QString::fromStdString(watchRoot.string());
    if (watchRoot == d->root) {
        for (const auto& source : fs::directory_iterator(d->root, error)) {
            std::error_code typeError;
            if (isHidden(source.path().filename().string()) || !source.is_directory(typeError))
                continue;
            wanted << QString::fromStdString(source.path().string());
            std::error_code listError;
            for (const auto& list : fs::directory_iterator(source.path(), listError)) {
                if (!isHidden(list.path().filename().string()) && list.is_directory(typeError))
                    wanted << QString::fromStdString(list.path().string());
            }
        }
    }
    const QStringList watched = m_watcher->directories();
    QStringList added;
    for (const QString& path : wanted) {
        if (!watched.contains(path))
            added << path;
    }
    QStringList removed;
    for (const QString& path : watched) {
        if (!wanted.contains(path))
            removed << path;
    }
    if (!removed.isEmpty())
        m_watcher->removePaths(removed);
    if (!added.isEmpty())
        m_watcher->addPaths(added);
}

} // namespace tidemark
