#include "settings/SupportEmail.hpp"

#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/workspace/SystemInformation.hpp"

namespace tidemark {

std::string applicationVersionText()
{
    auto shortVersion = AppInfo::shortVersion();
    auto build = AppInfo::buildVersion();
    if (!shortVersion || build.empty())
        return {};
    return *shortVersion + " (" + build + ")";
}

const std::string& Email::bodyText()
{
    static const std::string text = localized("Support", "body_text");
    return text;
}

std::string Email::systemInfo(
    const std::string& name, const std::string& version, const std::string& system)
{
    return "---\n\n" + name + " " + version + "\n" + system;
}

const std::string& Email::systemInfo()
{
    static const std::string text
        = systemInfo(AppInfo::name(), applicationVersionText(), operatingSystemVersionString());
    return text;
}

const std::string& Email::body()
{
    static const std::string text = bodyText() + "\n\n" + systemInfo();
    return text;
}

namespace {

rx::Result<MailComposition, Error> compose(Workspace& workspace, const MailMessage& message)
{
    auto composed = workspace.composeEmail(message);
    if (!composed.isSuccess())
        return rx::Result<MailComposition, Error>::failure(
            Error(composed.error().localizedDescription()));
    return rx::Result<MailComposition, Error>::success(composed.value());
}

} // namespace

rx::Result<MailComposition, Error> composeSupportEmail(
    Workspace& workspace, const std::vector<std::filesystem::path>& attachments)
{
    return compose(
        workspace, MailMessage { { AppInfo::bugReportEmail() }, {}, Email::body(), attachments });
}

rx::Result<MailComposition, Error> composeFeedbackEmail(Workspace& workspace)
{
    return compose(workspace,
        MailMessage { { AppInfo::feedbackEmail() }, {}, "\n\n" + Email::systemInfo(), {} });
}

} // namespace tidemark
