#include "ui/presets/SectionHeader.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/QvText.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/presets/ElidedLabel.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>

#include <cmath>

// The count on a faint rounded ground, in digits of equal width.
class CountBadge : public QWidget {
public:
    explicit CountBadge(QWidget* parent) : QWidget(parent) {
        setFont(QvFont::qvText(12, QFont::DemiBold));
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    void setText(const QString& text) {
        m_text = text;
        setAccessibleName(text);
        updateGeometry();
        update();
    }
    const QString& text() const { return m_text; }
    QSize sizeHint() const override {
        const double width = QvText::tabularWidth(font(), m_text);
        return QSize(int(std::ceil(width)) + 16, int(std::ceil(QFontMetricsF(font()).height())) + 4);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        QColor ground = QvColor::qvInkPrimary().resolve(scheme);
        ground.setAlphaF(0.06f);
        painter.fillPath(QvSurface::continuousRoundedRect(QRectF(rect()), 8), ground);
        painter.setFont(font());
        painter.setPen(QvColor::qvInkSecondary().resolve(scheme));
        QvText::drawTabular(painter, QRectF(rect()), Qt::AlignCenter, m_text);
    }

private:
    QString m_text;
};

SectionHeader::SectionHeader(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    m_title = new ElidedLabel(QvColor::qvInkPrimary(), this);
    m_title->setFont(QvFont::qvText(14, QFont::DemiBold));
    row->addWidget(m_title);
    m_badge = new CountBadge(this);
    m_badge->setObjectName(QStringLiteral("count"));
    row->addWidget(m_badge);
    row->addStretch(1);
}

void SectionHeader::setTitle(const QString& title) {
    m_title->setFullText(title);
}

void SectionHeader::setCount(qsizetype count) {
    m_badge->setText(QString::number(count));
}

QString SectionHeader::title() const {
    return m_title->fullText();
}

QString SectionHeader::countText() const {
    return m_badge->text();
}
