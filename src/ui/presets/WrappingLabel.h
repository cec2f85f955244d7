#pragma once
// A label in a palette token that wraps at word boundaries and, where one word is wider than its line,
// inside the word: no part of the text is cut at its edge. Held lower than its text needs, it ends its
// last shown line in "…".

#include "ui/kit/TokenLabel.h"

class QTextLayout;

class WrappingLabel : public TokenLabel {
    Q_OBJECT
public:
    explicit WrappingLabel(const QvColor& token, QWidget* parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Breaks the text into lines `width` wide; returns the height they take.
    qreal layOut(QTextLayout& layout, qreal width) const;
};
