#pragma once
// The small text-only button of the timers tab's banners ("Cancel", "Stop"): a word in a given colour, a
// muted ground under the pointer and a ring under the keyboard focus. A click never takes the focus.

#include "theme/QvColor.h"
#include "ui/kit/PressableButton.h"

class HoverFade;

class ReferenceTextButton : public PressableButton {
    Q_OBJECT
public:
    static constexpr int minimumWidth = 44;
    static constexpr int minimumHeight = 32;
    static constexpr double cornerRadius = 12;
    static constexpr double focusRingOpacity = 0.45;

    // `title` is shown as given: callers pass text already in the interface language.
    ReferenceTextButton(const QString& title, QvColor foreground, QWidget* parent = nullptr);

    const QvColor& foreground() const { return m_foreground; }
    bool isHovered() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Sets the text, the accessible name and the size together.
    void setTitle(const QString& title);

protected:
    void paintFace(QPainter& painter) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QvColor m_foreground;
    HoverFade* m_hover;
};
