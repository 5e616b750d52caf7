#pragma once

#include <QPointer>
#include <QWidget>

class QLayout;

namespace tidemark {

// A form row: a label and its content. Where the newer facility is allowed (running system
// and the preview version of its environment) it is the platform's form row (a QFormLayout
// row); otherwise our own row: the label, 10 px, the content, 1 px of padding above and
// below, vertically centred. In both forms the rows that share a parent line their contents
// up in one column, the widest label deciding where it starts; in our row each label ends
// 10 px before that column, so the labels stand right-aligned against it.
class LabeledContent final : public QWidget {
    Q_OBJECT
public:
    static constexpr int spacing = 10;
    static constexpr int verticalPadding = 1;

    // Takes both widgets as its children.
    LabeledContent(QWidget* content, QWidget* label, QWidget* parent = nullptr);
    // The label as a text.
    LabeledContent(QWidget* content, const QString& label, QWidget* parent = nullptr);
    ~LabeledContent() override;

    QWidget* content() const { return m_content; }
    QWidget* label() const { return m_label; }

    // True while the row is the platform's form row, false while it is our own.
    bool usesFormLayoutRow() const { return m_formLayoutRow; }

    // The width of the widest label among this row and the visible sibling rows of the same
    // form.
    int labelColumnWidth() const;
    // Where the content begins in our own row: the label column plus the spacing.
    int contentColumn() const { return labelColumnWidth() + spacing; }

protected:
    bool event(QEvent* event) override;

private:
    void chooseForm();
    void build();
    void labelWidthMayHaveChanged();
    void relayoutSiblings();

    QPointer<QWidget> m_content;
    QPointer<QWidget> m_label;
    QObject* m_ancestry = nullptr;
    bool m_formLayoutRow = false;
    bool m_built = false;
    int m_lastLabelWidth = -1;
    int m_labelMinimumWidth = 0;
};

} // namespace tidemark
