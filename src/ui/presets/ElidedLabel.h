#pragma once
// A one-line label in a palette token that ends in "…" when its room is too narrow for the whole text.

#include "ui/kit/TokenLabel.h"

class ElidedLabel : public TokenLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QvColor& token, QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return m_fullText; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString m_fullText;
};
