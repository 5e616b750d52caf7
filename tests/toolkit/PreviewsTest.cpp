#include "toolkit/Previews.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "toolkit/AlertContentView.hpp"

#include "ToolkitTesting.hpp"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace tidemark {
namespace {

std::vector<std::string> names(const std::vector<PreviewVariant>& variants)
{
    std::vector<std::string> result;
    for (const auto& v : variants)
        result.push_back(v.identifier);
    return result;
}

TEST(UIElementPreview, ShowsTheViewPlainDarkInEachLocalisationAndAtEachTextSize)
{
    const auto locales = previewLocalizations({ "base", "en", "de" });
    EXPECT_EQ(locales, (std::vector<std::string> { "en", "de" })) << "\"base\" is left out";
    EXPECT_EQ(previewLocalizations({ "Base" }), (std::vector<std::string> { "Base" }))
        << "exactly \"base\"";

    const UIElementPreview preview([] { return new QLabel(QStringLiteral("Hi")); },
        UIElementPreview::defaultDynamicTypeSizes(), locales);
    const auto variants = preview.variants();
    EXPECT_EQ(names(variants),
        (std::vector<std::string> { "default", "dark", "locale-en", "locale-de", "size-extraSmall",
            "size-large", "size-extraExtraExtraLarge" }));
    EXPECT_EQ(variants[0].name, "Default preview 1");
    EXPECT_EQ(variants[1].name, "Dark Mode");
    EXPECT_FALSE(variants[2].name.empty()) << "a locale is named in the current language";
    EXPECT_EQ(variants[4].name, "extraSmall");

    const UIElementPreview withoutLocales(
        [] { return new QLabel; }, UIElementPreview::defaultDynamicTypeSizes(), {});
    EXPECT_EQ(withoutLocales.variants().size(), 5u);
    EXPECT_EQ(UIElementPreview([] { return new QLabel; }).variants().size(),
        2 + bundleLocalizations().size() + 3);
}

TEST(UIElementPreview, OnlyDarkModePaintsABackground)
{
    const UIElementPreview preview([] { return new QLabel(QStringLiteral("Hi")); },
        UIElementPreview::defaultDynamicTypeSizes(), { "de" });
    for (const PreviewVariant& variant : preview.variants()) {
        SCOPED_TRACE(variant.identifier);
        std::unique_ptr<QWidget> shown(preview.make(variant));
        auto* label = shown->findChild<QLabel*>();
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(shown->autoFillBackground(), variant.kind == PreviewVariant::Kind::darkMode);
        EXPECT_EQ(colorScheme(label) == ColorScheme::dark,
            variant.kind == PreviewVariant::Kind::darkMode);
        if (variant.kind == PreviewVariant::Kind::locale) {
            EXPECT_EQ(label->locale().name().left(2), QStringLiteral("de"));
        }
        if (variant.kind == PreviewVariant::Kind::textSize) {
            EXPECT_NEAR(label->font().pointSizeF(),
                QWidget().font().pointSizeF() * contentSizeScale(variant.textSize), 0.01);
        }
    }
}

TEST(AlertContentView, PresentsItsAlertWhenItAppears)
{
    AlertContentView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    EXPECT_FALSE(view.alertIsPresented());
    view.show();
    ASSERT_TRUE(view.alertIsPresented());
    QMessageBox* alert = view.alert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("Title"));
    QStringList buttons;
    for (QAbstractButton* button : alert->buttons())
        buttons << button->text();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Cancel")));
    EXPECT_TRUE(buttons.contains(QStringLiteral("Destructive")));
    EXPECT_TRUE(buttons.contains(QStringLiteral("Snooze")));
    for (QAbstractButton* button : alert->buttons()) {
        const auto role = alert->buttonRole(button);
        if (button->text() == QStringLiteral("Cancel"))
            EXPECT_EQ(role, QMessageBox::RejectRole);
        else if (button->text() == QStringLiteral("Destructive"))
            EXPECT_EQ(role, QMessageBox::DestructiveRole);
        else
            EXPECT_EQ(role, QMessageBox::ActionRole);
    }
    alert->buttons().front()->click();
    EXPECT_FALSE(view.alertIsPresented()) << "answering the alert dismisses it";
}

TEST(PreviewRegistry, KeepsWhatLibrariesAdd)
{
    PreviewRegistry registry;
    registerToolkitPreviews(registry);
    ASSERT_FALSE(registry.providers().empty());
    for (const PreviewProvider& provider : registry.providers()) {
        EXPECT_FALSE(provider.states.empty()) << provider.name;
        for (const PreviewState& state : provider.states) {
            std::unique_ptr<QWidget> view(state.make());
            EXPECT_NE(view, nullptr) << provider.name << " / " << state.name;
        }
    }
}

} // namespace
} // namespace tidemark
