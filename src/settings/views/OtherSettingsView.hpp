#pragma once

#include "core/Store.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "settings/CheckForUpdatesButton.hpp"
#include "settings/LoggingView.hpp"
#include "settings/views/SettingsForm.hpp"

#include <QPushButton>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;

namespace tidemark {

using LoggingViewStore = Store<LoggingView::State, LoggingView::Action>;
using CheckForUpdatesStore = Store<CheckForUpdatesButton::State, CheckForUpdatesButton::Action>;

// The head of the other pane: the application's icon (128 × 128), its name in the title font,
// centred whatever the pane's width; then its version and the check for updates, offered
// while the updater can check.
class AboutView final : public QWidget {
public:
    AboutView(std::shared_ptr<CheckForUpdatesStore> updates, std::optional<FormStyle> style,
        Mnemonics& mnemonics, QWidget* parent = nullptr);

    QWidget* icon() const { return m_icon; }
    QLabel* nameLabel() const { return m_name; }
    QLabel* versionLabel() const { return m_version; }
    QPushButton* checkForUpdatesButton() const { return m_check; }

private:
    std::shared_ptr<CheckForUpdatesStore> m_updates;
    QWidget* m_icon;
    QLabel* m_name;
    QLabel* m_version;
    QPushButton* m_check;
    rx::Cancellable m_subscription;
};

// The support section: the logging switch, hiding reminder texts in the log, the bug report
// (a spinner while it is under way, its failure once answered so), feedback (its failure) and
// the support website. Its rows follow the form's style.
class LoggingViewWidget final : public QWidget {
public:
    LoggingViewWidget(std::shared_ptr<LoggingViewStore> store, std::optional<FormStyle> style,
        Mnemonics& mnemonics, QWidget* parent = nullptr);

    QCheckBox* loggingToggle() const { return m_logging; }
    QCheckBox* hideDescriptionsToggle() const { return m_hide; }
    QPushButton* bugReportButton() const { return m_bugReport; }
    QWidget* bugReportProgress() const { return m_progress; }
    QLabel* bugReportFailure() const { return m_bugReportFailure; }
    QPushButton* feedbackButton() const { return m_feedback; }
    QLabel* feedbackFailure() const { return m_feedbackFailure; }
    QPushButton* supportButton() const { return m_support; }

private:
    void render(const LoggingView::State& state);

    std::shared_ptr<LoggingViewStore> m_store;
    QCheckBox* m_logging;
    QCheckBox* m_hide;
    QPushButton* m_bugReport;
    QWidget* m_progress;
    QLabel* m_bugReportFailure;
    QPushButton* m_feedback;
    QLabel* m_feedbackFailure;
    QPushButton* m_support;
    rx::Cancellable m_subscription;
};

// Opens the page where the user can review the application, through the environment's
// open-URL action; an address that is not valid opens nothing. Dispatches nothing.
class ReviewButton final : public QPushButton {
public:
    explicit ReviewButton(const QString& title, QWidget* parent = nullptr);

    // The review address; by default the application's.
    void setAddress(std::function<std::optional<std::string>()> address);
    void openReviewPage();

private:
    std::function<std::optional<std::string>()> m_address;
};

// The other pane: about, support and the review button, top to bottom.
class OtherSettingsView final : public QWidget {
public:
    OtherSettingsView(std::shared_ptr<LoggingViewStore> loggingViewModel,
        std::shared_ptr<CheckForUpdatesStore> updates, std::optional<FormStyle> style,
        QWidget* parent = nullptr);

    AboutView* about() const { return m_about; }
    LoggingViewWidget* logging() const { return m_logging; }
    ReviewButton* reviewButton() const { return m_review; }

private:
    AboutView* m_about;
    LoggingViewWidget* m_logging;
    ReviewButton* m_review;
};

} // namespace tidemark
