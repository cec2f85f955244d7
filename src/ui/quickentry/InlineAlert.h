#pragma once
// A short question shown inside the popover, over a dim layer: a title, an optional message and text field,
// and a row of buttons. Return answers with the focused button (or the default one from the field), Escape
// with the cancel button. A separate window would take the focus from the popover and could close it.

#include "ui/kit/DimmedOverlay.h"
#include "ui/kit/LabelButton.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QLineEdit;
class QVBoxLayout;

class InlineAlert : public QWidget {
    Q_OBJECT
public:
    enum class Role { cancel, confirm, destructive };

    static constexpr int alertWidth = 300;

    InlineAlert(const QString& title, const QString& message, QWidget* parent = nullptr);

    QLineEdit* addField(const QString& placeholder, const QString& text);
    // Buttons line up in the order they are added; each closes nothing by itself.
    LabelButton* addButton(const QString& text, Role role);
    // Return in the field presses it while it is enabled.
    void setDefaultButton(LabelButton* button) { m_default = button; }
    // Escape presses it.
    void setCancelButton(LabelButton* button) { m_cancel = button; }
    QLineEdit* field() const { return m_field; }

    // Shows the alert over `host` (the popover) and gives its field, or its cancel button, the keyboard.
    // The overlay goes with the alert.
    void present(QWidget* host);
    // Takes the alert and its dim layer away.
    void dismiss();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QVBoxLayout* m_column;
    QWidget* m_buttonRow;
    QLineEdit* m_field = nullptr;
    QPointer<LabelButton> m_default;
    QPointer<LabelButton> m_cancel;
    QPointer<DimmedOverlay> m_overlay;
};
