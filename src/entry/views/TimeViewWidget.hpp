#pragma once

#include "core/Store.hpp"
#include "entry/TimeView.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/reactive/Publisher.hpp"

#include <QFont>
#include <QPalette>
#include <QPointer>
#include <QStaticText>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPainter;

namespace tidemark {

class EditingViewModifier;

// The two lines of a reminder's time as text: the relative phrase (when there is one) and the
// due time of day.
struct TimeLinesText {
    std::optional<TimeView::Phrase> relative;
    TimeView::Phrase absolute;

    bool operator==(const TimeLinesText&) const = default;

    // The lines of a start and an interval at `now` (the relative one from the last tick's
    // text when there is one, else from the interval), in the system's locale.
    static TimeLinesText of(Date startDate, TimeInterval timeInterval, Date now,
        const std::optional<std::string>& timerRelativeTime, DateComponentsFormatter& formatter);
};

// The font of the time lines: the second-level title size, light.
QFont timeLinesFont(const QFont& base);

// The two lines laid out: each in the secondary text colour with its value in the primary
// one, each padded like an editable text run (4 points left and right, 2 above and below).
class TimeLinesLayout {
public:
    TimeLinesLayout(const TimeLinesText& text, const QFont& font, double lineSpacing);
    QSizeF size() const { return m_size; }
    void paint(QPainter& painter, QPointF topLeft, const QPalette& palette, double opacity) const;

private:
    // One piece of a line in one colour, shaped once: the label that shows it moves with
    // every pointer event, and shaping the text again each frame cost more than drawing it.
    struct Run {
        QStaticText text;
        QPointF at; // its top left, from the layout's
        bool primary = false;
    };
    QFont m_font;
    std::vector<Run> m_runs;
    QSizeF m_size;
};

// The shared view of a reminder's time: the two time lines and, below them, the title field
// (or the plain title alone when there is no start or no interval). It grows in with
// `progress`: the lines are invisible up to 0.5 and opaque at 1, collapse to nothing at 0,
// and reaching exactly 1 moves the keyboard focus into the title field. The lines show the
// chosen interval, or, once the timer ticks, the time left.
class TimeViewWidget final : public QWidget {
    Q_OBJECT
public:
    explicit TimeViewWidget(QWidget* parent = nullptr);
    ~TimeViewWidget() override;

    void setId(const std::string& id);
    const std::string& id() const { return m_id; }
    void setTimes(std::optional<Date> startDate, std::optional<TimeInterval> timeInterval);
    // Shows `title` (the field keeps the user's cursor when it already holds it).
    void setTitle(const std::string& title);
    void setExpanded(bool isExpanded);
    void setProgress(double progress);
    double progress() const { return m_progress; }
    void setFormatter(std::shared_ptr<DateComponentsFormatter> formatter);
    // Ticks that make the relative line count down to the due time; none keep the interval.
    void setTimer(rx::Publisher<rx::Unit> timer);
    // The focus the owner keeps: read to know whether this view's title holds it, written
    // when reaching progress 1 takes it.
    void setFocusBinding(Binding<std::optional<TimeView::Focusable>> focus);
    // Every edit of the title, as typed.
    void setOnTitleEdited(std::function<void(const std::string&)> onTitleEdited);
    // Return in the title field.
    void setOnSubmit(std::function<void()> onSubmit);

    QLineEdit* titleField() const { return m_titleField; }
    // The lines as they are shown; none while they are not (no start or no interval).
    std::optional<TimeLinesText> shownLines() const;
    bool showsTitleRow() const;

    // What `now` is for the relative line.
    void setClock(std::function<Date()> now) { m_now = std::move(now); }

protected:
    bool event(QEvent* event) override;

private:
    class Lines;
    void relayout();
    void applyTitleColour();
    void tick();

    std::string m_id;
    std::optional<Date> m_startDate;
    std::optional<TimeInterval> m_timeInterval;
    std::string m_title;
    bool m_isExpanded = false;
    double m_progress = 1;
    std::shared_ptr<DateComponentsFormatter> m_formatter;
    std::optional<std::string> m_timerRelativeTime;
    rx::Cancellable m_timerToken;
    std::optional<Binding<std::optional<TimeView::Focusable>>> m_focus;
    std::function<void(const std::string&)> m_onTitleEdited;
    std::function<void()> m_onSubmit;
    std::function<Date()> m_now;

    QWidget* m_labels = nullptr;
    Lines* m_lines = nullptr;
    EditingViewModifier* m_titleRow = nullptr;
    QLineEdit* m_titleField = nullptr;
    QLabel* m_plainTitle = nullptr;
    bool m_settingTitle = false;
};

} // namespace tidemark
