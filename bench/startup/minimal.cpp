// The smallest Qt Widgets program that puts a window on screen: the peer against which the
// application's start-up is compared (compare.sh). It shows one small window and quits as soon
// as the window system reports it exposed; with --stay it keeps running (idle.sh measures what
// it costs at rest).

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

class QuitWhenExposed final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed())
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tidemark start-up peer"));
    window.resize(120, 80);
    window.winId(); // makes the native window so its expose events can be watched
    QuitWhenExposed quitter;
    if (!QCoreApplication::arguments().contains(QStringLiteral("--stay")))
        window.windowHandle()->installEventFilter(&quitter);
    window.show();
    return app.exec();
}
