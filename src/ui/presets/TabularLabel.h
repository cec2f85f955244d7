#pragma once
// A one-line text in a palette token whose digits all take the same width, so lengths in a column line up
// and a changing number does not jiggle.

#include "theme/QvColor.h"

#include <QWidget>

class TabularLabel : public QWidget {
    Q_OBJECT
public:
    explicit TabularLabel(const QvColor& token, QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return m_text; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QvColor m_token;
    QString m_text;
};
