#pragma once

#include "onboarding/views/Symbols.hpp"

#include <QWidget>

class QScrollArea;
class QVBoxLayout;

namespace tidemark {

class MaterialView;

// The onboarding's label: an icon in the accent colour, 80 high and as wide as its aspect
// ratio makes it, over a large bold title; centred, 20 apart. The icon may be any view, or
// none.
class OnboardingLabel final : public QWidget {
public:
    OnboardingLabel(QWidget* icon, const QString& title, QWidget* parent = nullptr);

    QWidget* icon() const { return m_icon; }
    StyledLabel* title() const { return m_title; }

private:
    QWidget* m_icon;
    StyledLabel* m_title;
};

// The layout of the sync, notifications and general pages: a header (the label and a
// centred, wrapped subtitle on a translucent material) pinned at the top of a scroll area
// whose form scrolls beneath it. The header is padded 60 on top, 20 below and 100 at the
// sides, so a long subtitle wraps and the header grows; the form lies 160 in from each side,
// its sections 20 apart, with 60 below the last.
class OnboardingPageView final : public QWidget {
public:
    // Takes the three views as its own.
    OnboardingPageView(QWidget* content, OnboardingLabel* titleLabel, QWidget* subtitle,
        QWidget* parent = nullptr);

    QWidget* header() const { return m_header; }
    QScrollArea* scrollArea() const { return m_scrollArea; }
    QWidget* content() const { return m_content; }

    static constexpr double horizontalPadding = 100;
    static constexpr double verticalPadding = 60;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutHeader();

    QWidget* m_header;
    QScrollArea* m_scrollArea;
    QWidget* m_form;
    QWidget* m_content;
    QWidget* m_headerSpace;
};

// A section of a grouped form: its rows on a lightly tinted rounded plate.
class FormSection final : public QWidget {
public:
    explicit FormSection(QWidget* parent = nullptr);

    // Adds a row: the label at the leading edge, the control at the trailing one.
    void addRow(QWidget* label, QWidget* control);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* m_rows;
};

// A hairline across its width: the divider between the pages and the controls.
class Divider final : public QWidget {
public:
    explicit Divider(QWidget* parent = nullptr);
    QSize sizeHint() const override { return { 0, 1 }; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A text of the string tables as a QString.
QString tableText(const char* table, const char* key);

} // namespace tidemark
