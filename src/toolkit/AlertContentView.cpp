#include "toolkit/AlertContentView.hpp"

#include "platform/foundation/StringTables.hpp"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tidemark {

namespace {

QString text(const char* key)
{
    return QString::fromStdString(localized("Localizable", key));
}

} // namespace

AlertContentView::AlertContentView(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(text("Hello, World!")));
}

QMessageBox* AlertContentView::makeAlert(QWidget* parent)
{
    auto* alert = new QMessageBox(parent);
    alert->setWindowTitle(text("Title"));
    alert->setText(text("Title"));
    alert->addButton(text("Cancel"), QMessageBox::RejectRole);
    alert->addButton(text("Destructive"), QMessageBox::DestructiveRole);
    alert->addButton(text("Snooze"), QMessageBox::ActionRole);
    return alert;
}

void AlertContentView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    setAlertIsPresented(!m_alertIsPresented);
}

void AlertContentView::setAlertIsPresented(bool presented)
{
    if (presented == m_alertIsPresented)
        return;
    m_alertIsPresented = presented;
    if (presented) {
        m_alert = makeAlert(this);
        m_alert->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_alert, &QMessageBox::finished, this, [this] { m_alertIsPresented = false; });
        m_alert->open();
    } else if (m_alert) {
        m_alert->close();
    }
}

} // namespace tidemark
