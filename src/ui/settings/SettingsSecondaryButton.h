#pragma once
// The outlined accent buttons of the settings' system group. Side by side in a row that is narrower than
// their labels, a label wraps onto more lines and the button grows taller instead of being cut. Their shape
// fills the widget, so a row of them lines up with the card's other content; the focus ring is drawn just
// inside the edge, where it shows on the pale tint.

#include "ui/kit/LabelButton.h"

class SettingsSecondaryButton : public LabelButton {
    Q_OBJECT
public:
    static constexpr double verticalPadding = 8;

    SettingsSecondaryButton(Look look, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintFace(QPainter& painter) override;

private:
    // The text's height when wrapped to that width.
    double textHeight(double width) const;
    // The width the label's layout needs to keep that text on one line.
    double lineWidth(const QString& line) const;
};
