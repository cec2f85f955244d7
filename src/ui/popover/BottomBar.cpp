#include "ui/popover/BottomBar.h"

#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvSurface.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/MotionCurves.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/popover/BottomBarTabButton.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

// A spring of response 0.35 s and damping 0.78, sampled over the slide's 0.5 s: it overshoots a little
// and has settled (within 0.1 %) by the end.
qreal springCurve(qreal progress) {
    if (progress >= 1) {
        return 1;
    }
    constexpr double response = 0.35;
    constexpr double damping = 0.78;
    const double t = progress * BottomBar::slideDurationMs / 1000.0;
    const double omega = 2 * std::numbers::pi / response;
    const double decay = damping * omega;
    const double omegaD = omega * std::sqrt(1 - damping * damping);
    return 1 - std::exp(-decay * t) * (std::cos(omegaD * t) + decay / omegaD * std::sin(omegaD * t));
}

QEasingCurve slideCurve() {
    if (ReduceMotion::enabled()) {
        return MotionCurves::easeOut();
    }
    QEasingCurve curve;
    curve.setCustomType(&springCurve);
    return curve;
}

} // namespace

BottomBar::BottomBar(TarvolinTimerTab selected, QWidget* parent) : QWidget(parent), m_selected(selected) {
    setObjectName(QStringLiteral("quorvane.bottomBar"));
    AccessibleTraits::setRole(this, QAccessible::PageTabList);
    setFixedSize(containerWidth, containerHeight);
    const QList<TarvolinTimerTab> tabs = allTarvolinTimerTabs();
    const QRect bar = barRect();
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        const TarvolinTimerTab tab = tabs.at(i);
        auto* button = new BottomBarTabButton(tab, this);
        // Thirds of the pill, rounded so that together they cover it exactly.
        const int left = bar.left() + int(std::lround(double(i) * barWidth / double(tabs.size())));
        const int right = bar.left() + int(std::lround(double(i + 1) * barWidth / double(tabs.size())));
        button->setGeometry(left, bar.top(), right - left, barHeight);
        button->setSelected(tab == selected);
        connect(button, &QAbstractButton::clicked, this, [this, tab] {
            m_userChoosing = true;
            emit tabActivated(tab);
            m_userChoosing = false;
        });
        m_buttons << button;
    }

    connect(&m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_slidingCapsule = value.toRectF();
        update();
    });
    connect(&m_slide, &QVariantAnimation::finished, this, [this] {
        m_slidingCapsule = QRectF();
        if (m_slideTarget) {
            m_slideTarget->setDrawsCapsule(true);
        }
        m_slideTarget = nullptr;
        update();
    });
}

QRect BottomBar::barRect() const {
    return QRect((containerWidth - barWidth) / 2, 0, barWidth, barHeight);
}

BottomBarTabButton* BottomBar::button(TarvolinTimerTab tab) const {
    for (BottomBarTabButton* b : m_buttons) {
        if (b->tab() == tab) {
            return b;
        }
    }
    return nullptr;
}

void BottomBar::setSelected(TarvolinTimerTab tab) {
    if (tab == m_selected) {
        return;
    }
    BottomBarTabButton* from = button(m_selected);
    BottomBarTabButton* to = button(tab);
    m_selected = tab;
    const bool animated = m_userChoosing;
    const QEasingCurve curve = slideCurve();
    const int duration = ReduceMotion::enabled() ? reducedMotionSlideDurationMs : slideDurationMs;
    if (animated) {
        slideCapsule(from, to);
    }
    for (BottomBarTabButton* b : m_buttons) {
        b->setSelected(b == to, animated ? &curve : nullptr, duration);
    }
}

void BottomBar::slideCapsule(BottomBarTabButton* from, BottomBarTabButton* to) {
    // One capsule travels from where it is drawn now to where the new tab's will be.
    const QRectF start =
        m_slidingCapsule.isValid() ? m_slidingCapsule : from->labelRect().translated(QPointF(from->pos()));
    const QRectF end = to->selectedLabelRect().translated(QPointF(to->pos()));
    if (m_slideTarget) {
        m_slideTarget->setDrawsCapsule(true);
    }
    m_slide.stop();
    m_slideTarget = to;
    for (BottomBarTabButton* b : m_buttons) {
        b->setDrawsCapsule(b != to);
    }
    m_slide.setEasingCurve(slideCurve());
    m_slide.setDuration(ReduceMotion::enabled() ? reducedMotionSlideDurationMs : slideDurationMs);
    m_slide.setStartValue(start);
    m_slide.setEndValue(end);
    m_slidingCapsule = start;
    m_slide.start();
}

void BottomBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    painter.fillRect(rect(), QvColor::qvCanvas().resolve(scheme));
    QvSurface::paint(painter, QRectF(barRect()), QvSurface::qvFloatingBar(scheme));
    if (m_slidingCapsule.isValid()) {
        painter.fillPath(QvSurface::continuousRoundedRect(m_slidingCapsule, m_slidingCapsule.height() / 2),
                         QvColor::qvSurfaceMuted().resolve(scheme));
    }
}
