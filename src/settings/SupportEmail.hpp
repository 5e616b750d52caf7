#pragma once

#include "core/Error.hpp"
#include "platform/reactive/Result.hpp"
#include "platform/workspace/Workspace.hpp"

#include <filesystem>
#include <string>
#include <vector>

namespace tidemark {

// The texts of the support messages, made once per process.
struct Email {
    // "body_text" of the "Support" table.
    static const std::string& bodyText();
    // "---", an empty line, the application's name and version, the system's version.
    static const std::string& systemInfo();
    // The body text, an empty line, the system information.
    static const std::string& body();

    // The system information for a given name, version text and system version.
    static std::string systemInfo(
        const std::string& name, const std::string& version, const std::string& system);
};

// The application's version as people read it: "1.2.5 (125)"; empty when either part is
// missing.
std::string applicationVersionText();

// The bug-report message: the body and the attachments in their order, to the bug-report
// mailbox, opened in the user's mail program. Fails when no mail program can be reached.
rx::Result<MailComposition, Error> composeSupportEmail(
    Workspace& workspace, const std::vector<std::filesystem::path>& attachments);
// The feedback message: two empty lines, then the system information.
rx::Result<MailComposition, Error> composeFeedbackEmail(Workspace& workspace);

} // namespace tidemark
