#pragma once
// Stand-in for the global quick-add panel until the quick-entry screens land: a field for a typed time,
// checked by the quick-launch parser, and a card that shows the prepared timer until the user starts it
// or cancels.

#include "core/QuickLaunchParseError.h"
#include "core/TimerStartRequest.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class TimerManager;

class QuickAddPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int panelWidth = 380;

    // With a request the panel opens on its confirmation card; without one, on the field.
    QuickAddPanel(TimerManager& timerManager, const std::optional<TimerStartRequest>& request,
                  QWidget* parent = nullptr);

    const std::optional<TimerStartRequest>& pendingRequest() const { return m_request; }
    QString errorText() const;
    QString confirmationText() const;

    // What the field's Return does: parses the text; a parsed time goes to the confirmation card, an error
    // is shown under the field.
    void submit(const QString& text);
    // The card's buttons: starts the pending timer and closes, or closes without starting anything.
    void confirm();
    void cancel();

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showRequest(const TimerStartRequest& request);
    void retranslate();

    QPointer<TimerManager> m_timerManager;
    std::optional<TimerStartRequest> m_request;
    QStackedWidget* m_pages = nullptr;
    QLabel* m_heading = nullptr;
    QLineEdit* m_field = nullptr;
    QLabel* m_error = nullptr;
    QLabel* m_confirmation = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
    std::optional<QuickLaunchParseError> m_parseError; // kept, so a language change re-words it
};
