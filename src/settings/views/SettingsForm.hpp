#pragma once

#include "toolkit/FormStyle.hpp"

#include <QLabel>
#include <QString>
#include <QWidget>

#include <optional>
#include <set>

class QVBoxLayout;

namespace tidemark {

// Gives each text of a window a keyboard mnemonic: the first letter or digit of the text that
// no earlier text took (none when all are taken). A literal "&" is kept as one.
class Mnemonics {
public:
    QString mark(const QString& text);

private:
    std::set<QChar> m_used;
};

// A pane's form in one of its two styles. Grouped: each section a group box titled by its
// header, the form inset by the platform's margins. Plain (the older path): each section its
// header in bold over its rows, sections 20 apart, no inset (the window pads the tab by 20).
class SettingsForm final : public QWidget {
public:
    explicit SettingsForm(std::optional<FormStyle> style, QWidget* parent = nullptr);

    std::optional<FormStyle> style() const { return m_style; }
    bool isGrouped() const { return m_style == FormStyle::grouped; }

    // Starts a section; rows go into the returned widget's layout through addRow.
    QWidget* addSection(const QString& header = QString());
    // A section standing alone (to be placed by the caller): the section, and the widget
    // whose layout takes its rows.
    struct Section {
        QWidget* frame;
        QWidget* rows;
    };
    static Section makeSection(std::optional<FormStyle> style, const QString& header);
    // Adds a row to a section made by addSection.
    static void addRow(QWidget* section, QWidget* row);
    // The form's layout, for content beside the sections.
    QVBoxLayout* formLayout() const { return m_layout; }

private:
    std::optional<FormStyle> m_style;
    QVBoxLayout* m_layout;
};

// A caption below or beside a control: the callout size, in the secondary colour, wrapped.
QLabel* secondaryLabel(const QString& text, QWidget* parent = nullptr);
// A failure told under the control it concerns: wrapped, in the palette's error colour,
// selectable so it can be copied; hidden while there is nothing to tell.
QLabel* failureLabel(QWidget* parent = nullptr);
// Shows `text` in a failure label, or hides it when there is none.
void showFailure(QLabel* label, const std::optional<QString>& text);

// A text of the string tables as a QString.
QString settingsText(const char* table, const char* key);

} // namespace tidemark
