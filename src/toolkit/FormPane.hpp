#pragma once

#include "toolkit/FormStyle.hpp"

#include <QWidget>

#include <functional>
#include <optional>

class QGroupBox;
class QVBoxLayout;

namespace tidemark {

class AncestorEventFilter;

// A settings pane's frame: its sections one under the other, each a group box of rows. With
// the grouped form style in force around it each section is framed and the pane adds no
// padding (the form around it has its own); without, the sections stand unframed and the pane
// pads itself by 20 on every side. It follows the form style as its environment or ancestry
// changes.
class FormPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int plainPadding = 20;
    static constexpr int sectionSpacing = 12;

    explicit FormPane(QWidget* parent = nullptr);
    ~FormPane() override;

    // A new section at the end; its rows go into its vertical layout.
    QGroupBox* addSection(const QString& title = {});
    static QVBoxLayout* rows(QGroupBox* section);

    std::optional<FormStyle> formStyle() const { return m_formStyle; }
    // Called whenever the form style changes, after the sections took it on.
    void setFormStyleHandler(std::function<void(std::optional<FormStyle>)> handler);

protected:
    bool event(QEvent* event) override;

private:
    void followFormStyle();
    void frame(QGroupBox* section) const;

    QVBoxLayout* m_sections;
    AncestorEventFilter* m_ancestry = nullptr;
    std::optional<FormStyle> m_formStyle;
    std::function<void(std::optional<FormStyle>)> m_handler;
};

} // namespace tidemark
