#include "ui/onboarding/OnboardingStepIndicator.h"

#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvSurface.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

namespace {

QColor mix(const QColor& from, const QColor& to, double t) {
    const auto channel = [t](float a, float b) { return float(double(a) + (double(b) - double(a)) * t); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), channel(from.alphaF(), to.alphaF()));
}

} // namespace

OnboardingStepIndicator::OnboardingStepIndicator(QList<OnboardingStep> tourSteps, QWidget* parent)
    : QWidget(parent), m_tourSteps(std::move(tourSteps)),
      m_currentStep(m_tourSteps.isEmpty() ? OnboardingStep::language : m_tourSteps.first()) {
    setObjectName(QStringLiteral("quorvane.onboarding.stepIndicator"));
    setAttribute(Qt::WA_TranslucentBackground);
    // Dots that say where the tour is: read as that text.
    AccessibleTraits::setRole(this, QAccessible::StaticText);
    setFixedSize(sizeHint());
    m_animation.setDuration(changeDurationMs);
    m_animation.setEasingCurve(QEasingCurve::InOutQuad);
    m_animation.setStartValue(0.0);
    m_animation.setEndValue(1.0);
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_progress = value.toDouble();
        update();
    });
    m_to = m_from = targets();
    retranslate();
}

QSize OnboardingStepIndicator::sizeHint() const {
    const qsizetype n = m_tourSteps.size();
    const double width = n == 0 ? 0 : currentDotWidth + double(n - 1) * (dotWidth + dotSpacing);
    return QSize(int(std::ceil(width)), int(dotHeight) + 4);
}

int OnboardingStepIndicator::currentPosition() const {
    const qsizetype i = m_tourSteps.indexOf(m_currentStep);
    return i < 0 ? 0 : int(i);
}

QList<OnboardingStepIndicator::Dot> OnboardingStepIndicator::targets() const {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    QColor ink = QvColor::qvInkAction().resolve(scheme);
    ink.setAlphaF(float(inkOpacity));
    const QColor stroke = QvColor::qvStroke().resolve(scheme);
    const int position = currentPosition();
    QList<Dot> dots;
    for (qsizetype i = 0; i < m_tourSteps.size(); ++i) {
        dots << Dot{m_tourSteps[i] == m_currentStep ? currentDotWidth : dotWidth,
                    i <= position ? ink : stroke};
    }
    return dots;
}

void OnboardingStepIndicator::setCurrentStep(OnboardingStep step) {
    const bool animate = m_stepSet && isVisible() && !ReduceMotion::enabled();
    m_stepSet = true;
    // From what is drawn now, so a change in the middle of another carries on smoothly.
    QList<Dot> shown;
    for (qsizetype i = 0; i < m_tourSteps.size(); ++i) {
        shown << Dot{shownWidth(int(i)), shownColor(int(i))};
    }
    m_currentStep = step;
    m_from = shown;
    m_to = targets();
    m_animation.stop();
    if (animate) {
        m_progress = 0;
        m_animation.start();
    } else {
        m_progress = 1;
    }
    retranslate();
    update();
}

double OnboardingStepIndicator::shownWidth(int index) const {
    if (m_progress >= 1) {
        return m_to.at(index).width;
    }
    const Dot& a = m_from.at(index);
    const Dot& b = m_to.at(index);
    return a.width + (b.width - a.width) * m_progress;
}

QColor OnboardingStepIndicator::shownColor(int index) const {
    if (m_progress >= 1) {
        return m_to.at(index).color;
    }
    return mix(m_from.at(index).color, m_to.at(index).color, m_progress);
}

double OnboardingStepIndicator::targetWidth(int index) const {
    return m_to.at(index).width;
}

QColor OnboardingStepIndicator::targetColor(int index) const {
    return m_to.at(index).color;
}

void OnboardingStepIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    double total = 0;
    for (qsizetype i = 0; i < m_tourSteps.size(); ++i) {
        total += shownWidth(int(i)) + (i > 0 ? dotSpacing : 0);
    }
    double x = (width() - total) / 2;
    const double y = (height() - dotHeight) / 2;
    for (qsizetype i = 0; i < m_tourSteps.size(); ++i) {
        const double w = shownWidth(int(i));
        painter.fillPath(QvSurface::continuousRoundedRect(QRectF(x, y, w, dotHeight), dotHeight / 2),
                         shownColor(int(i)));
        x += w + dotSpacing;
    }
}

void OnboardingStepIndicator::retranslate() {
    setAccessibleName(tr("Step %1 of %2").arg(currentPosition() + 1).arg(m_tourSteps.size()));
}

void OnboardingStepIndicator::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
