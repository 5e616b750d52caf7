#pragma once

// Windows and views of features that are not built yet, in the shape the windows store
// expects of them, with small placeholder content. Each is replaced by the feature's own
// type or maker when it arrives; nothing else in the shell depends on their insides.

#include "core/Action.hpp"
#include "platform/ui/Window.hpp"
#include "toolkit/MainStore.hpp"

#include <QWidget>

#include <variant>

namespace tidemark {

// The overlay windows of the drag entry.
struct YoyoDragBackWindowActionCases {
    struct IsPresented {
        bool value;
        bool operator==(const IsPresented&) const = default;
    };
    struct PreparePresentation {
        bool operator==(const PreparePresentation&) const = default;
    };
    using Variant = std::variant<IsPresented, PreparePresentation>;
};
struct YoyoDragBackWindowAction : ActionOf<YoyoDragBackWindowActionCases> {
    using ActionOf::ActionOf;
};

struct YoyoDragFrontWindowAction {
    bool isPresented;
    bool operator==(const YoyoDragFrontWindowAction&) const = default;
};

// Behind the blob: `isPresented(true)` covers the screen under the pointer and shows the
// window without the keyboard; `false` closes it; `preparePresentation` moves it to the screen
// under the pointer.
struct YoyoDragBackWindowState {
    WindowRef window;
    bool operator==(const YoyoDragBackWindowState&) const = default;
    void reduce(const YoyoDragBackWindowAction& action);
};

// In front of the blob: `isPresented(true)` covers the screen under the pointer and takes the
// keyboard (the card is typed into); `false` closes it.
struct YoyoDragFrontWindowState {
    WindowRef window;
    bool operator==(const YoyoDragFrontWindowState&) const = default;
    void reduce(const YoyoDragFrontWindowAction& action);
};

} // namespace tidemark
