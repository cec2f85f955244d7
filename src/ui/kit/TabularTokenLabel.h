#pragma once
// A one-line token label whose digits all take the same width, so a number that changes in place (a time,
// a count of minutes) does not make the text around it jiggle.

#include "ui/kit/TokenLabel.h"

class TabularTokenLabel : public TokenLabel {
    Q_OBJECT
public:
    explicit TabularTokenLabel(const QvColor& token, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
