#include "theme/SymbolIconEngine.h"

#include "theme/SymbolIcon.h"

#include <QPainter>
#include <QPixmap>

#include <utility>

SymbolIconEngine::SymbolIconEngine(QString name, QColor color, QColor highlighted)
    : m_name(std::move(name)), m_color(std::move(color)), m_highlighted(std::move(highlighted)) {}

QColor SymbolIconEngine::colorFor(QIcon::Mode mode) const {
    // Styles ask for the active (or selected) mode for a row they draw highlighted.
    if (mode == QIcon::Active || mode == QIcon::Selected) {
        return m_highlighted;
    }
    QColor c = m_color;
    if (mode == QIcon::Disabled) {
        c.setAlphaF(c.alphaF() * 0.4f);
    }
    return c;
}

void SymbolIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) {
    SymbolIcon::paint(*painter, QRectF(rect), m_name, colorFor(mode));
}

QPixmap SymbolIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) {
    return SymbolIcon::pixmap(m_name, size, colorFor(mode));
}

QIconEngine* SymbolIconEngine::clone() const {
    return new SymbolIconEngine(m_name, m_color, m_highlighted);
}

QString SymbolIconEngine::key() const {
    return QStringLiteral("SymbolIconEngine");
}
