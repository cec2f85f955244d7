#pragma once
// Lets a symbol serve as a QIcon: drawn afresh at each requested size, dimmed when disabled, in the
// highlighted colour on a highlighted row.

#include <QColor>
#include <QIconEngine>
#include <QString>

class SymbolIconEngine : public QIconEngine {
public:
    SymbolIconEngine(QString name, QColor color, QColor highlighted);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;
    QString iconName() override { return m_name; }

private:
    QColor colorFor(QIcon::Mode mode) const;

    QString m_name;
    QColor m_color;
    QColor m_highlighted;
};
