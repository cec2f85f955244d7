#pragma once
// A pressable button whose face is a text, optionally after a symbol, on a filled rounded shape with an
// optional outline; a ring shows while it holds the keyboard focus. A click never takes the focus.

#include "theme/QvColor.h"
#include "ui/kit/PressableButton.h"

#include <QFont>
#include <QSize>
#include <QString>

#include <optional>

class LabelButton : public PressableButton {
    Q_OBJECT
public:
    // The fill, the ink and the font are always chosen; the rest have the usual values until set.
    struct Look {
        Look(QvColor fillColor, QvColor inkColor, QFont textFont)
            : fill(std::move(fillColor)), ink(std::move(inkColor)), font(std::move(textFont)) {}

        QvColor fill;
        std::optional<QvColor> outline; // 1 px, inside the shape
        QvColor ink;                    // text and symbol
        QFont font;
        double cornerRadius = 12; // half the height or more gives a capsule
        QString symbol;           // drawn before the text; none when empty
        double horizontalPadding = 12;
        QSize minimumSize{44, 44};
        double disabledOpacity = 1; // the whole face, while the button is disabled
        bool filled = true;         // false: no fill, the ground shows through (symbol and text buttons)
    };

    static constexpr double symbolSpacing = 6;
    static constexpr double focusRingOpacity = 0.45;
    // Room on every side between the widget's edge and the shape, where the focus ring goes: a ring drawn
    // inside the shape would vanish on a fill of the ring's own colour.
    static constexpr int focusRingRoom = 3;

    LabelButton(double pressedScale, Look look, QWidget* parent = nullptr);

    const Look& look() const { return m_look; }
    // A new look (fill, ink, symbol …) for a button whose meaning changed; the size follows it.
    void setLook(Look look);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The shape the face fills, in widget coordinates; the minimum size is the shape's.
    QRectF shapeRect() const;

protected:
    void paintFace(QPainter& painter) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    double symbolSide() const;

    Look m_look;
};
