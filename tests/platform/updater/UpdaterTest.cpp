#include "platform/updater/Updater.hpp"
#include "platform/updater/Appcast.hpp"

#include <gtest/gtest.h>

#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <map>

namespace tidemark {
namespace {

TEST(VersionTest, comparesLikePeopleRead)
{
    struct Case {
        const char* a;
        const char* b;
        int order;
    };
    const Case cases[] = {
        { "1.10", "1.9", 1 },
        { "1.2.5", "1.2.5", 0 },
        { "1.2", "1.2.0", 0 },
        { "1.2.0.1", "1.2", 1 },
        { "126", "125", 1 },
        { "2", "10", -1 },
        { "1.0b2", "1.0", -1 },
        { "1.0b2", "1.0b10", -1 },
        { "1.0.1", "1.0b1", 1 },
        { "1.0rc1", "1.0beta3", 1 },
        { "v1.3", "V1.3", 0 },
        { "000100", "99", 1 },
        { "123456789012345678901234567890", "123456789012345678901234567889", 1 },
        { "", "1", -1 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compareVersions(c.a, c.b), c.order) << c.a << " vs " << c.b;
        EXPECT_EQ(compareVersions(c.b, c.a), -c.order) << c.b << " vs " << c.a;
    }
}

const char* const feedHead = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Tidemark</title>)";
const char* const feedTail = "</channel></rss>";

std::string feed(const std::string& items)
{
    return feedHead + items + feedTail;
}

std::string enclosureItem(const std::string& version, const std::string& shortVersion)
{
    return "<item><title>Version " + shortVersion + "</title>"
        + "<enclosure url=\"https://tidemark.app/Tidemark-" + shortVersion + ".tar.gz\" "
        + "sparkle:version=\"" + version + "\" sparkle:shortVersionString=\"" + shortVersion
        + "\" length=\"100\" type=\"application/octet-stream\"/></item>";
}

std::string elementItem(const std::string& version, const std::string& shortVersion)
{
    return "<item><title>Version " + shortVersion + "</title><sparkle:version>" + version
        + "</sparkle:version><sparkle:shortVersionString>" + shortVersion
        + "</sparkle:shortVersionString><link>https://tidemark.app</link>"
        + "<enclosure url=\"https://tidemark.app/t.tar.gz\" length=\"1\" type=\"x\"/></item>";
}

TEST(AppcastTest, readsBothFormsOfVersion)
{
    auto appcast = parseAppcast(feed(enclosureItem("124", "1.2.4") + elementItem("126", "1.2.6")
        + "<item><title>No version</title></item>"));
    ASSERT_TRUE(appcast.isSuccess()) << appcast.error();
    ASSERT_EQ(appcast.value().items.size(), 2u);
    EXPECT_EQ(appcast.value().items[0],
        (AppcastItem { "Version 1.2.4", "124", "1.2.4",
            "https://tidemark.app/Tidemark-1.2.4.tar.gz", "", "" }));
    EXPECT_EQ(appcast.value().newestItem()->displayVersionString, "1.2.6");
    EXPECT_EQ(appcast.value().newestItem()->infoUrl, "https://tidemark.app");
}

// Answers every request on loopback with the response set for its path.
class FeedServer {
public:
    struct Response {
        int status = 200;
        std::string body;
    };

    FeedServer()
    {
        // Loopback only, even where the environment names a proxy.
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (auto* socket = m_server.nextPendingConnection()) {
                QObject::connect(
                    socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(m_server.serverPort()) + path;
    }

    std::map<std::string, Response> responses;
    int requests = 0;

private:
    void answer(QTcpSocket* socket)
    {
        auto& buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        ++requests;
        auto path = buffer.split(' ').value(1).toStdString();
        m_buffers.erase(socket);
        auto it = responses.find(path);
        Response response = it == responses.end() ? Response { 404, "Not here" } : it->second;
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status)
            + (response.status == 200        ? " OK"
                    : response.status == 404 ? " Not Found"
                                             : " Error")
            + "\r\nContent-Type: application/rss+xml\r\nContent-Length: "
            + QByteArray::number(static_cast<qsizetype>(response.body.size()))
            + "\r\nConnection: close\r\n\r\n" + QByteArray::fromStdString(response.body);
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    std::map<QTcpSocket*, QByteArray> m_buffers;
};

class RecordingUserDriver : public UpdaterUserDriver {
public:
    std::vector<std::string> shown;
    void showUpdateFound(const AppcastItem& item) override
    {
        shown.push_back("found " + item.displayVersionString);
    }
    void showUpdateNotFound() override { shown.push_back("up to date"); }
    void showUpdaterError(const UpdaterError& error) override
    {
        shown.push_back("error " + error.message);
    }
};

UpdaterConfiguration configurationFor(std::string url, std::string version = "125")
{
    UpdaterConfiguration configuration;
    configuration.feedUrl = std::move(url);
    configuration.currentVersion = std::move(version);
    configuration.currentDisplayVersion = "1.2.5";
    return configuration;
}

std::optional<UpdateCheckResult> check(Updater& updater)
{
    std::optional<UpdateCheckResult> result;
    updater.checkForUpdateInformation([&](const UpdateCheckResult& r) { result = r; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
        ADD_FAILURE() << "the check did not end";
    return result;
}

TEST(UpdaterTest, checksFeedsServedOnLoopback)
{
    using Kind = UpdaterError::Kind;
    struct Case {
        const char* name;
        FeedServer::Response response;
        const char* currentVersion;
        // A newer display version, "" for up to date, or the error's kind.
        std::variant<std::string, Kind> expected;
        const char* messagePart = "";
    };
    const Case cases[] = {
        { "newer on the enclosure",
            { 200, feed(enclosureItem("124", "1.2.4") + enclosureItem("126", "1.2.6")) }, "125",
            std::string("1.2.6") },
        { "newer in elements, 1.10 after 1.9",
            { 200, feed(elementItem("1.9", "1.9") + elementItem("1.10", "1.10")) }, "1.9",
            std::string("1.10") },
        { "the same version", { 200, feed(enclosureItem("125", "1.2.5")) }, "125", std::string() },
        { "only older ones", { 200, feed(enclosureItem("99", "0.9")) }, "125", std::string() },
        { "no releases yet", { 200, feed("") }, "125", std::string() },
        { "not well formed", { 200, feedHead + enclosureItem("126", "1.2.6") }, "125",
            Kind::malformed, "could not be read" },
        { "a web page", { 200, "<html><body>Moved</body></html>" }, "125", Kind::malformed,
            "not an RSS feed" },
        { "empty", { 200, "" }, "125", Kind::malformed, "could not be read" },
        { "no versions", { 200, feed("<item><title>1.3</title></item>") }, "125", Kind::malformed,
            "gives a version" },
        { "not found", { 404, "Not found" }, "125", Kind::unreachable, "404" },
        { "server error", { 500, "Oops" }, "125", Kind::unreachable, "500" },
    };
    FeedServer server;
    for (const auto& c : cases) {
        server.responses["/appcast.xml"] = c.response;
        Updater updater(configurationFor(server.url("/appcast.xml"), c.currentVersion), nullptr);
        auto result = check(updater);
        ASSERT_TRUE(result) << c.name;
        if (auto* version = std::get_if<std::string>(&c.expected)) {
            ASSERT_TRUE(result->isSuccess()) << c.name << ": " << result->error().message;
            if (version->empty()) {
                EXPECT_TRUE(result->value().isUpToDate()) << c.name;
            } else {
                ASSERT_FALSE(result->value().isUpToDate()) << c.name;
                EXPECT_EQ(result->value().update->displayVersionString, *version) << c.name;
            }
        } else {
            ASSERT_FALSE(result->isSuccess()) << c.name;
            EXPECT_EQ(result->error().kind, std::get<Kind>(c.expected)) << c.name;
            EXPECT_NE(result->error().message.find(c.messagePart), std::string::npos)
                << c.name << ": " << result->error().message;
            EXPECT_NE(result->error().message.find("/appcast.xml"), std::string::npos) << c.name;
        }
    }
}

TEST(UpdaterTest, anUnreachableOrMissingFeedIsAClearError)
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    quint16 closedPort = 0;
    {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        closedPort = server.serverPort();
    }
    Updater unreachable(
        configurationFor("http://127.0.0.1:" + std::to_string(closedPort) + "/a.xml"), nullptr);
    auto result = check(unreachable);
    ASSERT_TRUE(result && !result->isSuccess());
    EXPECT_EQ(result->error().kind, UpdaterError::Kind::unreachable);
    EXPECT_NE(result->error().message.find("could not be reached"), std::string::npos)
        << result->error().message;

    for (const char* address : { "", "ftp://tidemark.app/appcast.xml", "not a url at all" }) {
        Updater updater(configurationFor(address), nullptr);
        updater.startUpdater();
        EXPECT_FALSE(updater.canCheckForUpdates()) << address;
        auto noFeed = check(updater);
        ASSERT_TRUE(noFeed && !noFeed->isSuccess()) << address;
        EXPECT_EQ(noFeed->error().kind, UpdaterError::Kind::noFeed) << address;
    }
}

TEST(UpdaterTest, theUserDriverShowsWhatTheKindOfCheckCallsFor)
{
    FeedServer server;
    server.responses["/new.xml"] = { 200, feed(enclosureItem("126", "1.2.6")) };
    server.responses["/same.xml"] = { 200, feed(enclosureItem("125", "1.2.5")) };
    auto driver = std::make_shared<RecordingUserDriver>();

    Updater updater(configurationFor(server.url("/same.xml")), driver);
    QSignalSpy canCheck(&updater, &Updater::canCheckForUpdatesChanged);
    QSignalSpy finished(&updater, &Updater::checkFinished);
    EXPECT_FALSE(updater.canCheckForUpdates());
    updater.startUpdater();
    EXPECT_TRUE(updater.canCheckForUpdates());

    updater.checkForUpdates();
    EXPECT_FALSE(updater.canCheckForUpdates());
    updater.checkForUpdates(); // while one runs: ignored
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 20000));
    EXPECT_TRUE(updater.canCheckForUpdates());
    EXPECT_EQ(server.requests, 1);
    EXPECT_EQ(driver->shown, std::vector<std::string> { "up to date" });
    EXPECT_EQ(canCheck.count(), 3); // started, checking, done

    updater.checkForUpdatesInBackground();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 2; }, 20000));
    EXPECT_EQ(driver->shown.size(), 1u); // nothing new: a background check stays quiet

    StandardUpdaterController controller(configurationFor(server.url("/new.xml")), true, driver);
    QSignalSpy controllerFinished(&controller.updater(), &Updater::checkFinished);
    controller.checkForUpdates();
    ASSERT_TRUE(QTest::qWaitFor([&] { return controllerFinished.count() == 1; }, 20000));
    EXPECT_EQ(driver->shown.back(), "found 1.2.6");

    // A check the user asked for that fails says why, whether the feed is no feed or out
    // of reach.
    server.responses["/page.xml"] = { 200, "<html>maintenance</html>" };
    quint16 closedPort = 0;
    {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
        closedPort = closed.serverPort();
    }
    const std::pair<std::string, std::string> failures[] = {
        { server.url("/page.xml"), "not an RSS feed" },
        { "http://127.0.0.1:" + std::to_string(closedPort) + "/a.xml", "could not be reached" },
    };
    for (const auto& [address, why] : failures) {
        StandardUpdaterController failing(configurationFor(address), true, driver);
        QSignalSpy failingFinished(&failing.updater(), &Updater::checkFinished);
        const auto shownBefore = driver->shown.size();
        failing.checkForUpdates();
        ASSERT_TRUE(QTest::qWaitFor([&] { return failingFinished.count() == 1; }, 20000));
        ASSERT_EQ(driver->shown.size(), shownBefore + 1) << address;
        EXPECT_TRUE(driver->shown.back().starts_with("error ")) << driver->shown.back();
        EXPECT_NE(driver->shown.back().find(why), std::string::npos) << driver->shown.back();
    }
}

} // namespace
} // namespace tidemark
