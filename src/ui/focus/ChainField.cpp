#include "ui/focus/ChainField.h"

#include "theme/QvColor.h"
#include "theme/QvSurface.h"
#include "ui/kit/ViewEnvironment.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>

ChainField::ChainField(const QFont& font, const QMargins& padding, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(padding);
    m_edit = new QLineEdit(this);
    m_edit->setFrame(false);
    m_edit->setFont(font);
    const ColorScheme scheme = ViewEnvironment::colorScheme(parent);
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, QvColor::qvInkPrimary().resolve(scheme));
    palette.setColor(QPalette::PlaceholderText, QvColor::qvInkMuted().resolve(scheme));
    m_edit->setPalette(palette);
    layout->addWidget(m_edit);
    setFocusProxy(m_edit);
}

void ChainField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8);
    painter.fillPath(shape, QvColor::qvBgSurface().resolve(scheme));
    painter.strokePath(shape, QPen(QvColor::qvBorder().resolve(scheme), 1));
}
