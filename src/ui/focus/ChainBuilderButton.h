#pragma once
// The chain builder's buttons: a symbol and/or a text in one colour, on an optional fill, with a focus
// ring under the keyboard focus. Colours are fixed when made, since the builder is always light.

#include "ui/kit/PressableButton.h"

#include <QColor>
#include <QFont>

#include <optional>

class ChainBuilderButton : public PressableButton {
    Q_OBJECT
public:
    struct Look {
        std::optional<QColor> fill;
        QColor ink;
        QFont font;
        QString symbol; // before the text; none when empty
        double symbolSide = 12;
        double cornerRadius = 8;
        QSize minimumSize{44, 44};
    };

    ChainBuilderButton(Look look, QWidget* parent = nullptr);

    const Look& look() const { return m_look; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintFace(QPainter& painter) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    Look m_look;
};
