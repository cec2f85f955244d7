#include "ui/onboarding/OnboardingDial.h"

#include "theme/QvColor.h"
#include "theme/QvText.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"

#include <QFontMetricsF>
#include <QPainter>

OnboardingDial::OnboardingDial(int size, QFont textFont, QFont captionFont, QWidget* parent)
    : MinuteDialView(size, 0, 0, 1.0, parent), m_textFont(std::move(textFont)),
      m_captionFont(std::move(captionFont)) {
    // Nothing lights or moves here, so the bump's room is not needed.
    setOverflow(0);
    setFixedSize(size, size);
    setFocusPolicy(Qt::NoFocus);
    // A picture, skipped by screen readers unless its owner has its text read (readTextAloud).
    AccessibleTraits::setRole(this, QAccessible::StaticText);
    AccessibleTraits::setHidden(this);
}

void OnboardingDial::readTextAloud() {
    AccessibleTraits::setHidden(this, false);
}

void OnboardingDial::setText(const QString& text) {
    if (text != m_text) {
        m_text = text;
        setAccessibleName(text);
        update();
    }
}

void OnboardingDial::setCaption(const QString& caption) {
    if (caption != m_caption) {
        m_caption = caption;
        update();
    }
}

void OnboardingDial::paintEvent(QPaintEvent* event) {
    MinuteDialView::paintEvent(event);
    if (m_text.isEmpty() && m_caption.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QFontMetricsF textMetrics(m_textFont);
    const QFontMetricsF captionMetrics(m_captionFont);
    const double textHeight = m_text.isEmpty() ? 0 : textMetrics.height();
    const double captionHeight = m_caption.isEmpty() ? 0 : captionMetrics.height();
    const double gap = (textHeight > 0 && captionHeight > 0) ? captionSpacing : 0;
    // The two lines as one block, centred on the dial.
    double y = dialRect().center().y() + 0.5 - (textHeight + gap + captionHeight) / 2;
    const double left = dialRect().left();
    const double width = dialRect().width();
    if (textHeight > 0) {
        painter.setFont(m_textFont);
        painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
        // A length: its digits keep one width, whichever the face.
        QvText::drawTabular(painter, QRectF(left, y, width, textHeight), Qt::AlignCenter, m_text);
        y += textHeight + gap;
    }
    if (captionHeight > 0) {
        painter.setFont(m_captionFont);
        painter.setPen(QvColor::qvTextSecondary().resolve(scheme));
        painter.drawText(QRectF(left, y, width, captionHeight), Qt::AlignCenter, m_caption);
    }
}
