#include "MiddlewareTestSupport.hpp"

#include "settings/middleware/UpdaterMiddleware.hpp"

#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace tidemark {
namespace {

using namespace test;

// Serves one feed body on loopback.
class FeedServer {
public:
    explicit FeedServer(std::string body)
        : m_body(std::move(body))
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (auto* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_request += socket->readAll();
                    if (!m_request.contains("\r\n\r\n"))
                        return;
                    socket->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\nContent-Length: "
                        + QByteArray::number(qsizetype(m_body.size()))
                        + "\r\nConnection: close\r\n\r\n" + QByteArray::fromStdString(m_body));
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    std::string url() const
    {
        return "http://127.0.0.1:" + std::to_string(m_server.serverPort()) + "/appcast.xml";
    }

private:
    std::string m_body;
    QByteArray m_request;
    QTcpServer m_server;
};

struct RecordingDriver : UpdaterUserDriver {
    std::vector<std::string> shown;
    void showUpdateFound(const AppcastItem& item) override
    {
        shown.push_back("found " + item.displayVersionString);
    }
    void showUpdateNotFound() override { shown.push_back("up to date"); }
    void showUpdaterError(const UpdaterError& error) override
    {
        shown.push_back("error: " + error.message);
    }
};

std::string feed(const std::string& version, const std::string& shortVersion)
{
    return R"(<?xml version="1.0"?><rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel>)"
           "<item><title>New</title><enclosure url=\"https://tidemark.example.org/t.tar.gz\" "
           "sparkle:version=\""
        + version + "\" sparkle:shortVersionString=\"" + shortVersion
        + "\" length=\"1\" type=\"x\"/></item></channel></rss>";
}

// Until the root action carries the update action, the test sends it inside the help
// action, which nothing else in this store handles.
const UpdateAction* checkInHelp(const AppAction& action)
{
    static const UpdateAction check = UpdateAction::Check {};
    return caseAt<AppAction::View, ViewAction::HelpIsPresented>(action) ? &check : nullptr;
}

std::vector<std::string> checkThroughTheStore(const std::string& feedUrl)
{
    auto driver = std::make_shared<RecordingDriver>();
    UpdaterConfiguration configuration;
    configuration.feedUrl = feedUrl;
    configuration.currentVersion = "125";
    configuration.currentDisplayVersion = "1.2.5";
    auto controller = std::make_shared<StandardUpdaterController>(configuration, true, driver);
    auto store = makeAppStore({ updaterMiddleware(controller, &checkInHelp) });
    store->dispatch(AppAction::Countdown { CountdownAction::ReadDueDate {} });
    EXPECT_FALSE(controller->updater().sessionInProgress())
        << "no other action reaches the updater";
    store->dispatch(actions::viewAction(ViewAction::HelpIsPresented { true }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !driver->shown.empty(); }, 20000));
    EXPECT_EQ(drainMainQueue(), 0u);
    return driver->shown;
}

TEST(UpdaterMiddlewareTest, aCheckFindsANewerVersionOrSaysClearlyWhyNot)
{
    FeedServer newer(feed("126", "1.2.6"));
    EXPECT_EQ(checkThroughTheStore(newer.url()), std::vector<std::string> { "found 1.2.6" });

    FeedServer same(feed("125", "1.2.5"));
    EXPECT_EQ(checkThroughTheStore(same.url()), std::vector<std::string> { "up to date" });

    FeedServer malformed("<html>maintenance</html>");
    auto shown = checkThroughTheStore(malformed.url());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].starts_with("error: ")) << shown[0];
    EXPECT_NE(shown[0].find("not an RSS feed"), std::string::npos) << shown[0];

    quint16 closedPort = 0;
    {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        closedPort = server.serverPort();
    }
    shown = checkThroughTheStore("http://127.0.0.1:" + std::to_string(closedPort) + "/appcast.xml");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("could not be reached"), std::string::npos) << shown[0];

    AppAction plain = actions::viewAction(ViewAction::Quit {});
    EXPECT_EQ(carriedUpdateAction(plain), nullptr) << "the root action carries no update case yet";
}

} // namespace
} // namespace tidemark
