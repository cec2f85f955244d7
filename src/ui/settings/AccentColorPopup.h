#pragma once
// The small panel that drops from the custom accent chip: a heading over a colour picker (a saturation and
// brightness field for the current hue, and a hue bar), pointing at the chip. Every change the user makes
// is reported at once; a click outside it or Escape closes it and it deletes itself.

#include "ui/kit/ShapedWindow.h"

#include <QColor>
#include <QPainterPath>

class AccentColorPopup : public ShapedWindow {
    Q_OBJECT
public:
    static constexpr int contentWidth = 220;
    static constexpr int padding = 16;
    static constexpr int spacing = 8;
    static constexpr int arrowHeight = 8;
    static constexpr int arrowHalfWidth = 9;
    static constexpr double cornerRadius = 12;

    // Starts on `start`; reporting nothing until the user changes it.
    AccentColorPopup(const QColor& start, QWidget* anchor);

    // The colour picked last, or the start colour until the user picks one.
    QColor color() const;
    // The two parts of the picker, for the keyboard and for tests.
    QWidget* field() const { return m_field; }
    QWidget* hueBar() const { return m_hueBar; }
    // Whether the arrow points up to an anchor above the panel (else down to one below).
    bool pointsUp() const { return m_pointsUp; }
    // The rounded body with its arrow, filling `bounds`.
    QPainterPath outline(const QRectF& bounds) const override;

    // Shows the panel under `anchor`, its arrow on the anchor's bottom edge, kept on the anchor's screen;
    // above the anchor when there is no room below. The keyboard goes to the field.
    void popUp(const QWidget& anchor);

    // Hue in degrees (0 to 360), saturation and brightness (0 to 1), as the user sets them.
    void setHue(double degrees);
    void setSaturationValue(double saturation, double value);
    double hue() const { return m_hue; }
    double saturation() const { return m_saturation; }
    double value() const { return m_value; }

signals:
    // A colour the user picked; opening the panel reports none.
    void colorChanged(const QColor& color);

protected:
    QColor edgeColor() const override;
    void paintShape(QPainter& painter) override;

private:
    void applyChange();
    void placeArrow(bool pointsUp, int arrowX);

    QWidget* m_field;
    QWidget* m_hueBar;
    double m_hue = 0;
    double m_saturation = 0;
    double m_value = 0;
    QColor m_reported; // what color() gives
    bool m_pointsUp = true;
    int m_arrowX = 0;
};
