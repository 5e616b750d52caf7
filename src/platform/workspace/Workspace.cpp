#include "platform/workspace/Workspace.hpp"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace tidemark {

namespace {

using UnitResult = rx::Result<rx::Unit, WorkspaceError>;

const char* const xdgUtilsHint = "Install xdg-utils (sudo apt install xdg-utils)";

QString qString(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string percentEncoded(const std::string& text, const QByteArray& keep = {})
{
    return QUrl::toPercentEncoding(qString(text), keep).toStdString();
}

// Mail wants CRLF line breaks in a mailto: body; bare CR or LF become CRLF.
std::string withCrlf(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// A plain address: something@somewhere, nothing a program could take for an option,
// a second address or a header.
bool isPlainAddress(const std::string& address)
{
    auto at = address.find('@');
    if (at == std::string::npos || at == 0 || at + 1 == address.size()
        || address.find('@', at + 1) != std::string::npos || address.front() == '-')
        return false;
    for (unsigned char c : address) {
        if (c <= ' ' || c == 0x7f
            || std::string_view(",;:<>\"?&%()[]\\").find(static_cast<char>(c))
                != std::string_view::npos)
            return false;
    }
    return true;
}

} // namespace

std::optional<std::filesystem::path> SystemProcessLauncher::findExecutable(
    const std::string& name) const
{
    auto found = QStandardPaths::findExecutable(qString(name));
    if (found.isEmpty())
        return std::nullopt;
    return std::filesystem::path(found.toStdString());
}

rx::Result<int, WorkspaceError> SystemProcessLauncher::startDetached(
    const std::filesystem::path& program, const std::vector<std::string>& arguments)
{
    QProcess process;
    process.setProgram(QString::fromStdString(program.string()));
    QStringList list;
    for (const auto& argument : arguments)
        list << qString(argument);
    process.setArguments(list);
    process.setWorkingDirectory(QDir::homePath());
    qint64 pid = 0;
    if (!process.startDetached(&pid)) {
        return rx::Result<int, WorkspaceError>::failure(
            { "Could not start " + program.string() + ": " + process.errorString().toStdString() });
    }
    return rx::Result<int, WorkspaceError>::success(static_cast<int>(pid));
}

std::string mailtoAddress(const MailMessage& message)
{
    std::string address = "mailto:";
    for (std::size_t i = 0; i < message.recipients.size(); ++i) {
        if (i > 0)
            address += ',';
        address += percentEncoded(message.recipients[i], "@");
    }
    std::vector<std::string> fields;
    if (!message.subject.empty())
        fields.push_back("subject=" + percentEncoded(message.subject));
    if (!message.body.empty())
        fields.push_back("body=" + percentEncoded(withCrlf(message.body)));
    for (std::size_t i = 0; i < fields.size(); ++i)
        address += (i == 0 ? "?" : "&") + fields[i];
    return address;
}

Workspace::Workspace(std::shared_ptr<ProcessLauncher> launcher)
    : m_launcher(std::move(launcher))
{
}

rx::Result<rx::Unit, WorkspaceError> Workspace::openUrl(const std::string& url)
{
    QUrl parsed(qString(url), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme().isEmpty())
        return UnitResult::failure({ "\"" + url + "\" is not a valid address." });
    auto opener = m_launcher->findExecutable("xdg-open");
    if (!opener) {
        return UnitResult::failure(
            { std::string("No program to open addresses was found. ") + xdgUtilsHint + "." });
    }
    auto started
        = m_launcher->startDetached(*opener, { parsed.toString(QUrl::FullyEncoded).toStdString() });
    if (!started.isSuccess())
        return UnitResult::failure(started.error());
    return UnitResult::success({});
}

rx::Result<int, WorkspaceError> Workspace::openApplication(
    const std::filesystem::path& executable, const std::vector<std::string>& arguments)
{
    return m_launcher->startDetached(executable, arguments);
}

std::vector<RunningApplication> Workspace::runningApplications() const
{
    return tidemark::runningApplications();
}

bool Workspace::canComposeEmail() const
{
    return m_launcher->findExecutable("xdg-email") || m_launcher->findExecutable("xdg-open");
}

rx::Result<MailComposition, WorkspaceError> Workspace::composeEmail(const MailMessage& message)
{
    using Outcome = rx::Result<MailComposition, WorkspaceError>;
    for (const auto& recipient : message.recipients) {
        if (!isPlainAddress(recipient))
            return Outcome::failure({ "\"" + recipient + "\" is not a plain e-mail address." });
    }
    for (const auto& attachment : message.attachments) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(attachment, error))
            return Outcome::failure(
                { "The attachment " + attachment.string() + " was not found." });
    }
    std::string reasons;
    if (auto composer = m_launcher->findExecutable("xdg-email")) {
        std::vector<std::string> arguments { "--utf8" };
        if (!message.subject.empty())
            arguments.insert(arguments.end(), { "--subject", message.subject });
        if (!message.body.empty())
            arguments.insert(arguments.end(), { "--body", message.body });
        for (const auto& attachment : message.attachments) {
            auto absolute = std::filesystem::absolute(attachment).lexically_normal();
            arguments.insert(arguments.end(), { "--attach", absolute.string() });
        }
        arguments.insert(arguments.end(), message.recipients.begin(), message.recipients.end());
        auto started = m_launcher->startDetached(*composer, arguments);
        if (started.isSuccess())
            return Outcome::success(MailComposition::withAttachments);
        reasons = " " + started.error().message;
    }
    auto opened = openUrl(mailtoAddress(message));
    if (opened.isSuccess())
        return Outcome::success(MailComposition::mailtoWithoutAttachments);
    return Outcome::failure({ "No mail program could be opened." + reasons + " "
        + opened.error().message + " Then choose a default mail application." });
}

} // namespace tidemark
