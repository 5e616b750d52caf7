#pragma once

#include "platform/reactive/Publisher.hpp"
#include "platform/reactive/Result.hpp"
#include "platform/workspace/RunningApplications.hpp"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

struct WorkspaceError {
    std::string message;

    const std::string& localizedDescription() const { return message; }
    bool operator==(const WorkspaceError&) const = default;
};

// Starts other programs. The system's one starts them detached from this process; tests
// put a recording one in its place so nothing real opens.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // The full path of a program found on PATH, or nothing.
    virtual std::optional<std::filesystem::path> findExecutable(const std::string& name) const = 0;
    virtual rx::Result<int, WorkspaceError> startDetached(
        const std::filesystem::path& program, const std::vector<std::string>& arguments)
        = 0;
};

class SystemProcessLauncher : public ProcessLauncher {
public:
    std::optional<std::filesystem::path> findExecutable(const std::string& name) const override;
    // The result is the started process's identifier.
    rx::Result<int, WorkspaceError> startDetached(
        const std::filesystem::path& program, const std::vector<std::string>& arguments) override;
};

struct MailMessage {
    std::vector<std::string> recipients;
    std::string subject;
    std::string body;
    std::vector<std::filesystem::path> attachments;

    bool operator==(const MailMessage&) const = default;
};

// How a message reached the user's mail program.
enum class MailComposition {
    // xdg-email: recipients, subject, body and every attachment.
    withAttachments,
    // A mailto: address: recipients, subject and body; attachments could not be passed.
    mailtoWithoutAttachments,
};

// The address that opens a new message in the default mail program: recipients, subject
// and body, encoded so '&', '?', '#', line breaks and non-ASCII text arrive unchanged.
std::string mailtoAddress(const MailMessage& message);

// The desktop's ways to open things: addresses, programs, mail.
class Workspace {
public:
    explicit Workspace(
        std::shared_ptr<ProcessLauncher> launcher = std::make_shared<SystemProcessLauncher>());

    // Opens an address (https:, mailto:, file: …) in the user's preferred program.
    rx::Result<rx::Unit, WorkspaceError> openUrl(const std::string& url);
    // Starts a program detached from this one.
    rx::Result<int, WorkspaceError> openApplication(
        const std::filesystem::path& executable, const std::vector<std::string>& arguments = {});
    std::vector<RunningApplication> runningApplications() const;

    // Opens a new message in the user's mail program. Nothing is sent: the user sends it
    // there. Fails when there is no way to reach a mail program, a recipient is not a
    // plain address, or an attachment is missing.
    rx::Result<MailComposition, WorkspaceError> composeEmail(const MailMessage& message);
    // Whether a new message can be opened at all (the stand-in for asking for the
    // compose-e-mail sharing service).
    bool canComposeEmail() const;

private:
    std::shared_ptr<ProcessLauncher> m_launcher;
};

} // namespace tidemark
