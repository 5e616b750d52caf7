#include "onboarding/views/OnboardingControlsWidget.hpp"

#include "onboarding/OnboardingLayout.hpp"
#include "onboarding/views/OnboardingPageLayout.hpp"
#include "onboarding/views/Presence.hpp"
#include "toolkit/AlertButtonStyle.hpp"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QPainter>
#include <QShortcut>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

int px(double value)
{
    return int(std::lround(value));
}

FadingButton* makeButton(const QString& text, ButtonRole role, QWidget* parent)
{
    auto* button = new FadingButton(text, parent);
    setButtonRole(button, role);
    AlertButtonStyle::apply(button, 1);
    button->setMinimumHeight(px(OnboardingLayout::buttonHeight));
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

Animation onboardingControlsAnimation()
{
    return Animation::easeInOut(OnboardingLayout::controlsFadeDuration);
}

FadingButton::FadingButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    m_frames = m_enabledness.onFrame([this](const double&) { update(); });
}

FadingButton::~FadingButton() = default;

void FadingButton::setEnabledFading(bool enabled, const std::optional<Animation>& animation)
{
    QWidget::setEnabled(enabled);
    m_enabledness.setTarget(enabled ? 1.0 : 0.0, animation);
}

void FadingButton::paintEvent(QPaintEvent* event)
{
    const double enabledness = std::clamp(m_enabledness.value(), 0.0, 1.0);
    if (enabledness <= 0 || enabledness >= 1) {
        QPushButton::paintEvent(event);
        return;
    }
    // Both looks, the one going out under the one coming in.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_Enabled;
    painter.setOpacity(1 - enabledness);
    painter.drawControl(QStyle::CE_PushButton, option);
    option.state |= QStyle::State_Enabled;
    painter.setOpacity(enabledness);
    painter.drawControl(QStyle::CE_PushButton, option);
}

OnboardingLeadingItemsWidget::OnboardingLeadingItemsWidget(
    std::shared_ptr<OnboardingLeadingItemsStore> store, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_setUpLater = makeButton(
        tableText("Onboarding", "set_up_later_button_label"), ButtonRole::cancel, this);
    m_setUpLater->setObjectName(QStringLiteral("setUpLater"));
    layout->addWidget(m_setUpLater);
    m_presenter
        = std::make_unique<Presence>(m_setUpLater, Transition::fade(), !m_store->state().isHidden);
    QObject::connect(m_setUpLater, &QPushButton::clicked, this,
        [this] { m_store->dispatch(OnboardingLeadingItems::Action::Skip {}); });
    render(m_store->state(), std::nullopt);
    m_subscription = m_store->statePublisher().sink([this](const OnboardingLeadingItems::State& s) {
        render(s, onboardingControlsAnimation());
    });
}

OnboardingLeadingItemsWidget::~OnboardingLeadingItemsWidget() = default;

void OnboardingLeadingItemsWidget::render(
    const OnboardingLeadingItems::State& state, const std::optional<Animation>& animation)
{
    if (m_presenter->isPresented() != !state.isHidden)
        m_presenter->setPresented(!state.isHidden, animation);
}

// The primary button's place: as wide as the face shown, the width sliding with the fade;
// each face stands at its trailing edge.
class OnboardingTrailingItemsWidget::PrimarySlot final : public QWidget {
public:
    explicit PrimarySlot(QWidget* parent)
        : QWidget(parent)
    {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        m_frames = m_width.onFrame([this](const double&) {
            updateGeometry();
            layoutFaces();
        });
    }

    void setFaces(std::array<FadingButton*, 3> faces) { m_faces = faces; }

    void show(FadingButton* face, const std::optional<Animation>& animation)
    {
        m_shown = face;
        m_width.setTarget(face->sizeHint().width(), animation);
        layoutFaces();
    }

    QSize sizeHint() const override
    {
        int height = 0;
        for (FadingButton* face : m_faces)
            height = std::max(height, face->sizeHint().height());
        const double width
            = m_width.isAnimating() || !m_shown ? m_width.value() : m_shown->sizeHint().width();
        return { int(std::ceil(width)), height };
    }

protected:
    void resizeEvent(QResizeEvent*) override { layoutFaces(); }

private:
    void layoutFaces()
    {
        for (FadingButton* face : m_faces) {
            const QSize size = face->sizeHint().expandedTo(face->minimumSize());
            face->setGeometry(width() - size.width(), (height() - size.height()) / 2, size.width(),
                size.height());
        }
    }

    std::array<FadingButton*, 3> m_faces {};
    FadingButton* m_shown = nullptr;
    Animated<double> m_width { 0 };
    rx::Cancellable m_frames;
};

OnboardingTrailingItemsWidget::OnboardingTrailingItemsWidget(
    std::shared_ptr<OnboardingTrailingItemsStore> store, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_slot(new PrimarySlot(this))
{
    using A = OnboardingTrailingItems::Action;
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_back = makeButton(tableText("Navigation", "back_button_label"), ButtonRole::cancel, this);
    m_back->setObjectName(QStringLiteral("back"));
    m_backPresenter
        = std::make_unique<Presence>(m_back, Transition::fade(), !m_store->state().back.isHidden);
    QObject::connect(
        m_back, &QPushButton::clicked, this, [this] { m_store->dispatch(A::Back {}); });

    const char* labels[3][2] = {
        { "Onboarding", "get_started_button_label" },
        { "Navigation", "continue_button_label" },
        { "Navigation", "close_button_label" },
    };
    const char* names[3] = { "getStarted", "continue", "close" };
    for (int i = 0; i < 3; ++i) {
        auto* button = makeButton(tableText(labels[i][0], labels[i][1]), ButtonRole::none, m_slot);
        button->setObjectName(QString::fromLatin1(names[i]));
        const auto face = OnboardingPrimaryButton(i);
        // Get Started and Close answer Return, and look it.
        button->setDefault(primaryButtonTakesReturn(face));
        QObject::connect(button, &QPushButton::clicked, this, [this, face] {
            if (face == OnboardingPrimaryButton::close)
                m_store->dispatch(A::Close {});
            else
                m_store->dispatch(A::Next {});
        });
        m_primary[i] = button;
        m_primaryPresenters[i] = std::make_unique<Presence>(button, Transition::fade(),
            face == tidemark::primaryButton(m_store->state().continue_));
    }
    m_slot->setFaces(m_primary);
    layout->addWidget(m_back);
    layout->addWidget(m_slot);

    render(m_store->state(), std::nullopt);
    m_subscription
        = m_store->statePublisher().sink([this](const OnboardingTrailingItems::State& s) {
              render(s, onboardingControlsAnimation());
          });
}

OnboardingTrailingItemsWidget::~OnboardingTrailingItemsWidget() = default;

FadingButton* OnboardingTrailingItemsWidget::primaryButton(OnboardingPrimaryButton face) const
{
    return m_primary[int(face)];
}

void OnboardingTrailingItemsWidget::render(
    const OnboardingTrailingItems::State& state, const std::optional<Animation>& animation)
{
    if (m_backPresenter->isPresented() != !state.back.isHidden)
        m_backPresenter->setPresented(!state.back.isHidden, animation);
    if (m_back->isEnabled() != !state.back.isDisabled)
        m_back->setEnabledFading(!state.back.isDisabled, animation);

    m_shown = tidemark::primaryButton(state.continue_);
    for (int i = 0; i < 3; ++i) {
        const bool shown = OnboardingPrimaryButton(i) == m_shown;
        if (m_primaryPresenters[i]->isPresented() != shown)
            m_primaryPresenters[i]->setPresented(shown, animation);
        // Only the face shown takes presses; the others keep their look as they fade out.
        m_primary[i]->setAttribute(Qt::WA_TransparentForMouseEvents, !shown);
        if (shown && m_primary[i]->isEnabled() == state.continue_.isDisabled)
            m_primary[i]->setEnabledFading(!state.continue_.isDisabled, animation);
    }
    m_primary[int(m_shown)]->raise();
    m_slot->show(m_primary[int(m_shown)], animation);
}

bool OnboardingTrailingItemsWidget::pressDefaultButton()
{
    FadingButton* button = m_primary[int(m_shown)];
    if (!primaryButtonTakesReturn(m_shown) || !button->isEnabled())
        return false;
    button->click();
    return true;
}

OnboardingControlsWidget::OnboardingControlsWidget(
    std::shared_ptr<OnboardingControlsStore> store, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
{
    using A = OnboardingControls::Action;
    using State = OnboardingControls::State;
    auto leading = m_store->derived<OnboardingLeadingItems::State, OnboardingLeadingItems::Action>(
        [](const State& s) { return s.leading; },
        [](const OnboardingLeadingItems::Action& a) -> A { return A::Leading { a }; });
    auto trailing
        = m_store->derived<OnboardingTrailingItems::State, OnboardingTrailingItems::Action>(
            [](const State& s) { return s.trailing; },
            [](const OnboardingTrailingItems::Action& a) -> A { return A::Trailing { a }; });
    m_leading = new OnboardingLeadingItemsWidget(std::move(leading), this);
    m_trailing = new OnboardingTrailingItemsWidget(std::move(trailing), this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_leading);
    layout->addStretch(1);
    layout->addWidget(m_trailing);

    for (const QKeySequence& key : { QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter) }) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(
            shortcut, &QShortcut::activated, this, [this] { m_trailing->pressDefaultButton(); });
    }
}

} // namespace tidemark
