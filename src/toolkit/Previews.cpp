#include "toolkit/Previews.hpp"

#include "platform/ui/ColorScheme.hpp"

#include <QLocale>
#include <QVBoxLayout>

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace tidemark {

std::string contentSizeCategoryName(ContentSizeCategory category)
{
    switch (category) {
    case ContentSizeCategory::extraSmall:
        return "extraSmall";
    case ContentSizeCategory::small:
        return "small";
    case ContentSizeCategory::medium:
        return "medium";
    case ContentSizeCategory::large:
        return "large";
    case ContentSizeCategory::extraLarge:
        return "extraLarge";
    case ContentSizeCategory::extraExtraLarge:
        return "extraExtraLarge";
    case ContentSizeCategory::extraExtraExtraLarge:
        return "extraExtraExtraLarge";
    }
    return "large";
}

double contentSizeScale(ContentSizeCategory category)
{
    // Body text of 14, 15, 16, 17 (the default), 19, 21 and 23 points.
    switch (category) {
    case ContentSizeCategory::extraSmall:
        return 14.0 / 17;
    case ContentSizeCategory::small:
        return 15.0 / 17;
    case ContentSizeCategory::medium:
        return 16.0 / 17;
    case ContentSizeCategory::large:
        return 1;
    case ContentSizeCategory::extraLarge:
        return 19.0 / 17;
    case ContentSizeCategory::extraExtraLarge:
        return 21.0 / 17;
    case ContentSizeCategory::extraExtraExtraLarge:
        return 23.0 / 17;
    }
    return 1;
}

std::vector<std::string> bundleLocalizations()
{
    return { "en" };
}

std::vector<std::string> previewLocalizations(const std::vector<std::string>& names)
{
    std::vector<std::string> result;
    for (const std::string& name : names) {
        if (name != "base")
            result.push_back(name);
    }
    return result;
}

std::string localeDisplayName(const std::string& identifier)
{
    icu::UnicodeString name;
    icu::Locale(identifier.c_str()).getDisplayName(icu::Locale::getDefault(), name);
    std::string text;
    name.toUTF8String(text);
    return text == identifier ? std::string() : text;
}

std::vector<ContentSizeCategory> UIElementPreview::defaultDynamicTypeSizes()
{
    return { ContentSizeCategory::extraSmall, ContentSizeCategory::large,
        ContentSizeCategory::extraExtraExtraLarge };
}

UIElementPreview::UIElementPreview(Factory viewToPreview,
    std::vector<ContentSizeCategory> dynamicTypeSizes, std::vector<std::string> localizations)
    : m_viewToPreview(std::move(viewToPreview))
    , m_dynamicTypeSizes(std::move(dynamicTypeSizes))
    , m_localizations(std::move(localizations))
{
}

std::vector<PreviewVariant> UIElementPreview::variants() const
{
    using Kind = PreviewVariant::Kind;
    std::vector<PreviewVariant> result;
    result.push_back(
        { Kind::standard, "Default preview 1", "default", {}, ContentSizeCategory::large, false });
    result.push_back({ Kind::darkMode, "Dark Mode", "dark", {}, ContentSizeCategory::large, true });
    for (const std::string& locale : m_localizations) {
        result.push_back({ Kind::locale, localeDisplayName(locale), "locale-" + locale, locale,
            ContentSizeCategory::large, false });
    }
    for (const ContentSizeCategory size : m_dynamicTypeSizes) {
        const std::string name = contentSizeCategoryName(size);
        result.push_back({ Kind::textSize, name, "size-" + name, {}, size, false });
    }
    return result;
}

QWidget* UIElementPreview::make(const PreviewVariant& variant) const
{
    auto* wrapper = new QWidget;
    auto* layout = new QVBoxLayout(wrapper);
    switch (variant.kind) {
    case PreviewVariant::Kind::standard:
        break;
    case PreviewVariant::Kind::darkMode:
        wrapper->setPalette(darkPalette());
        break;
    case PreviewVariant::Kind::locale:
        wrapper->setLocale(QLocale(QString::fromStdString(variant.locale)));
        break;
    case PreviewVariant::Kind::textSize: {
        QFont font = wrapper->font();
        font.setPointSizeF(font.pointSizeF() * contentSizeScale(variant.textSize));
        wrapper->setFont(font);
        break;
    }
    }
    wrapper->setAutoFillBackground(variant.paintsBackground);
    if (QWidget* view = m_viewToPreview ? m_viewToPreview() : nullptr)
        layout->addWidget(view);
    return wrapper;
}

} // namespace tidemark
