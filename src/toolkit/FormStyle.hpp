#pragma once

#include "platform/ui/Environment.hpp"

#include <QObject>

#include <optional>

namespace tidemark {

// Whether the grouped form style is in force for a subtree. Views of a form read it to choose
// their layout: `grouped` where the settings window put the grouped style into force (on
// systems that have it), none elsewhere.
enum class FormStyle {
    grouped,
};

std::optional<FormStyle> defaultFormStyle();
inline const EnvironmentKey<std::optional<FormStyle>> formStyleKey { "formStyle",
    &defaultFormStyle };

// Puts the grouped form style into force on a view's subtree where the newer facility is
// allowed (running system and preview version), and leaves the subtree alone otherwise. It
// looks again whenever the view's environment or ancestry changes. A child of the view.
class FormStyleGroupedModifier final : public QObject {
    Q_OBJECT
public:
    explicit FormStyleGroupedModifier(QWidget* view);

    bool isGrouped() const { return m_grouped; }

private:
    void update();

    QWidget* m_view;
    bool m_grouped = false;
};

// Applies FormStyleGroupedModifier to `view` (once; a second call returns the first).
FormStyleGroupedModifier* groupedFormStyle(QWidget* view);

} // namespace tidemark
