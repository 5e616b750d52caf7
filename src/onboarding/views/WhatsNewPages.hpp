#pragma once

#include "onboarding/views/WhatsNewPictures.hpp"

#include <QPicture>
#include <QWidget>

class QLabel;

namespace tidemark {

class AppIcon;
class StyledLabel;

// A picture drawn into a fixed frame centred in the view and moved by an offset; the view
// cuts off whatever lies outside it and never scales the picture down to fit.
class WhatsNewMediaView final : public QWidget {
public:
    WhatsNewMediaView(QPicture picture, WhatsNewPictureFrame frame, QWidget* parent = nullptr);

    // Where the picture is drawn, in the view's coordinates.
    QRectF pictureRect() const;

    QSize sizeHint() const override { return { 0, 0 }; }
    QSize minimumSizeHint() const override { return { 0, 0 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPicture m_picture;
    WhatsNewPictureFrame m_frame;
};

// A page of news: the picture fills the upper part, and under it a bold title and a
// description, at most 1150 wide and 170 high, padded 30 above and below and 162 at the
// sides.
class WhatsNewPage final : public QWidget {
public:
    WhatsNewPage(QWidget* media, const QString& title, const QString& description,
        QWidget* parent = nullptr);

    QWidget* media() const { return m_media; }
    QWidget* textBlock() const { return m_textBlock; }

private:
    QWidget* m_media;
    QWidget* m_textBlock;
};

// The title page: the application's name and version, "What's New in …", and its icon in a
// square of `iconLength` with 110 around it. Where the page is too short for all of it, the
// icon and the room around it shrink together.
class WhatsNewRootView final : public QWidget {
public:
    explicit WhatsNewRootView(double iconLength = 350, QWidget* parent = nullptr);

    QWidget* icon() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void layoutContent();

    double m_iconLength;
    StyledLabel* m_version;
    StyledLabel* m_heading;
    AppIcon* m_icon;
};

// The two pages of news.
QWidget* makeWhatsNewRedesign();
QWidget* makeWhatsNewAppleRemindersList();

} // namespace tidemark
