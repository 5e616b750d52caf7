#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace tidemark {

// Every view registers the states it can be seen in, and the preview program (tidemark-
// previews) renders each state, in each variant of UIElementPreview, to PNG files and one
// index.html. A library with views exports one function `void register…Previews(
// PreviewRegistry&)` that adds its providers, and the program calls each such function (a
// plain call, so static linking keeps every registration).

// One state of a view: `make` builds a fresh view in that state (the caller owns it).
struct PreviewState {
    std::string name;
    std::function<QWidget*()> make;
};

// The states of one view (or one preview of the design), under one name.
struct PreviewProvider {
    std::string name;
    std::vector<PreviewState> states;
};

class PreviewRegistry {
public:
    void add(PreviewProvider provider) { m_providers.push_back(std::move(provider)); }
    const std::vector<PreviewProvider>& providers() const { return m_providers; }

private:
    std::vector<PreviewProvider> m_providers;
};

// The text sizes a view is previewed at, as the platform's content size categories.
enum class ContentSizeCategory {
    extraSmall,
    small,
    medium,
    large,
    extraLarge,
    extraExtraLarge,
    extraExtraExtraLarge,
};

// The category's name in code ("extraSmall").
std::string contentSizeCategoryName(ContentSizeCategory category);
// The body text size of the category relative to the default (large).
double contentSizeScale(ContentSizeCategory category);

// The localisations the application's string tables hold ("en": the tables are English).
std::vector<std::string> bundleLocalizations();
// The locales previewed for a list of localisation names: each name but "base" (exactly).
std::vector<std::string> previewLocalizations(const std::vector<std::string>& names);
// The name of a locale identifier as the current locale spells it; empty when it has none.
std::string localeDisplayName(const std::string& identifier);

// One way a view is shown in the harness.
struct PreviewVariant {
    enum class Kind {
        standard,
        darkMode,
        locale,
        textSize,
    };
    Kind kind = Kind::standard;
    // What the gallery calls it ("Default preview 1", "Dark Mode", the locale's name, which
    // may be empty, or the text size's name).
    std::string name;
    // Unique among a view's variants; used in file names.
    std::string identifier;
    std::string locale;
    ContentSizeCategory textSize = ContentSizeCategory::large;
    // Only the Dark Mode variant paints a background (the window colour).
    bool paintsBackground = false;
};

// Shows one view several times at once: as it is, in Dark Mode, in each localisation and at
// each text size: 2 + localisations + sizes variants.
class UIElementPreview {
public:
    using Factory = std::function<QWidget*()>;

    static std::vector<ContentSizeCategory> defaultDynamicTypeSizes();

    explicit UIElementPreview(Factory viewToPreview,
        std::vector<ContentSizeCategory> dynamicTypeSizes = defaultDynamicTypeSizes(),
        std::vector<std::string> localizations = previewLocalizations(bundleLocalizations()));

    std::vector<PreviewVariant> variants() const;

    // A fresh view in the variant's surroundings: padded by the platform's default layout
    // margins, at its preferred size, with the variant's palette (and background), locale or
    // text size. The caller owns it.
    QWidget* make(const PreviewVariant& variant) const;

private:
    Factory m_viewToPreview;
    std::vector<ContentSizeCategory> m_dynamicTypeSizes;
    std::vector<std::string> m_localizations;
};

// The previews of the toolkit's own views.
void registerToolkitPreviews(PreviewRegistry& registry);

// The sample card of the toolkit: 230 × 270, popover material, a 1 px border, a shadow and
// two alert buttons, on a transparent surface with room for the shadow. Also measured by the
// toolkit's benchmark.
QWidget* makeSampleCard();

} // namespace tidemark
