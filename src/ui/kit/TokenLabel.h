#pragma once
// A label whose text colour is a palette token, resolved in the colour scheme of its place in the widget
// tree each time it is drawn: a change of scheme, or a move into another tree, shows at the next draw.

#include "theme/QvColor.h"

#include <QLabel>

class TokenLabel : public QLabel {
    Q_OBJECT
public:
    explicit TokenLabel(const QvColor& token, QWidget* parent = nullptr);

    // A section label: 10 px semibold, tracked, shown upper case (the text itself stays as given), in the
    // muted ink.
    static TokenLabel* makeSectionLabel(QWidget* parent);

    const QvColor& token() const { return m_token; }
    void setToken(const QvColor& token);
    // The colour the text takes in the scheme the label is in now.
    QColor resolvedColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyColor();

    QvColor m_token;
};
