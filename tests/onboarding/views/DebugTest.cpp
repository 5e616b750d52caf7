#include "core/state/AppState.hpp"
#include "onboarding/views/OnboardingControlsWidget.hpp"
#include "onboarding/views/OnboardingWindow.hpp"
#include "platform/foundation/Calendar.hpp"
#include "support/TestMainQueue.hpp"
#include <QApplication>
#include <gtest/gtest.h>
#include <iostream>

namespace tidemark {
TEST(Debug, Buttons)
{
    AppState state = AppState::initial(dateFromTimeIntervalSince1970(0), Calendar("UTC"));
    state.view.onboarding.selection = OnboardingPage::notifications;
    OnboardingContainerView view(AppStore::constant(state));
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    QApplication::processEvents();
    auto* t = view.view()->controls()->trailing();
    for (auto* b : { t->backButton(), t->primaryButton(OnboardingPrimaryButton::continue_) }) {
        QWidget* w = b;
        std::cerr << b->objectName().toStdString() << " vis=" << b->isVisible()
                  << " hidden=" << b->isHidden() << " geo=";
        while (w) {
            auto g = w->geometry();
            std::cerr << "[" << w->metaObject()->className() << " " << g.x() << "," << g.y() << " "
                      << g.width() << "x" << g.height() << " vis" << w->isVisible() << "] ";
            w = w->parentWidget();
        }
        std::cerr << "\n";
    }
}
} // namespace tidemark
#include "platform/ui/TransitionEffect.hpp"
#include "toolkit/AlertButtonStyle.hpp"
#include <QHBoxLayout>
#include <QImage>
namespace tidemark {
TEST(Debug, Render)
{
    for (int mode = 0; mode < 3; ++mode) {
        QWidget host;
        auto* l = new QHBoxLayout(&host);
        auto* b = new FadingButton("Hello");
        AlertButtonStyle::apply(b, 1);
        l->addWidget(b);
        std::unique_ptr<TransitionPresenter> p;
        if (mode >= 1)
            p = std::make_unique<TransitionPresenter>(b, Transition::fade());
        if (mode == 2) {
            auto* g = new QWidget;
            g->setLayout(new QHBoxLayout);
        }
        host.setAttribute(Qt::WA_DontShowOnScreen);
        host.show();
        QApplication::processEvents();
        QImage image(host.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        host.render(&image);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 0)
                    ++opaque;
        std::cerr << "mode " << mode << " opaque " << opaque << "\n";
    }
}
} // namespace tidemark
namespace tidemark {
TEST(Debug, RenderContainer)
{
    AppState state = AppState::initial(dateFromTimeIntervalSince1970(0), Calendar("UTC"));
    state.view.onboarding.selection = OnboardingPage::notifications;
    for (int mode = 0; mode < 2; ++mode) {
        OnboardingContainerView view(AppStore::constant(state));
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.show();
        QApplication::processEvents();
        QWidget* target = mode == 0 ? static_cast<QWidget*>(&view) : view.view()->controls();
        QImage image(target->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        target->render(&image);
        image.save(QString("/tmp/dbg%1.png").arg(mode));
    }
}
} // namespace tidemark
namespace tidemark {
void dump(QWidget* w, int depth)
{
    if (depth > 4)
        return;
    auto g = w->geometry();
    std::cerr << std::string(depth * 2, ' ') << w->metaObject()->className() << " '"
              << w->objectName().toStdString() << "' " << g.x() << "," << g.y() << " " << g.width()
              << "x" << g.height() << " vis" << w->isVisible() << " fx"
              << (w->graphicsEffect() != nullptr) << "\n";
    for (QObject* c : w->children())
        if (auto* cw = qobject_cast<QWidget*>(c))
            dump(cw, depth + 1);
}
TEST(Debug, Tree)
{
    AppState state = AppState::initial(dateFromTimeIntervalSince1970(0), Calendar("UTC"));
    state.view.onboarding.selection = OnboardingPage::notifications;
    OnboardingContainerView view(AppStore::constant(state));
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    QApplication::processEvents();
    dump(&view, 0);
}
} // namespace tidemark
namespace tidemark {
TEST(Debug, NoEffects)
{
    AppState state = AppState::initial(dateFromTimeIntervalSince1970(0), Calendar("UTC"));
    state.view.onboarding.selection = OnboardingPage::notifications;
    OnboardingContainerView view(AppStore::constant(state));
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    QApplication::processEvents();
    for (auto* b : view.findChildren<QPushButton*>()) {
        b->setGraphicsEffect(nullptr);
        std::cerr << b->objectName().toStdString() << " effect " << b->graphicsEffect()
                  << " enabled " << b->isEnabled() << "\n";
    }
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image);
    image.save("/tmp/dbg2.png");
}
} // namespace tidemark
