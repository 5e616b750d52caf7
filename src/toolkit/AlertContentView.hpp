#pragma once

#include <QPointer>
#include <QWidget>

#include <QMessageBox>

namespace tidemark {

// A sample for checking the look of alerts: the text "Hello, World!" that, when it appears,
// toggles whether its alert is presented; the alert, titled "Title", has the buttons
// "Cancel" (cancel role), "Destructive" (destructive role) and "Snooze" (no role), which do
// nothing of their own.
class AlertContentView final : public QWidget {
    Q_OBJECT
public:
    explicit AlertContentView(QWidget* parent = nullptr);

    bool alertIsPresented() const { return m_alertIsPresented; }
    void setAlertIsPresented(bool presented);
    // The alert while it is presented.
    QMessageBox* alert() const { return m_alert; }

    // The alert as the sample presents it, not shown; the caller owns it.
    static QMessageBox* makeAlert(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_alertIsPresented = false;
    QPointer<QMessageBox> m_alert;
};

} // namespace tidemark
