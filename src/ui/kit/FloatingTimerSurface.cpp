#include "ui/kit/FloatingTimerSurface.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/QvText.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/PressableButton.h"
#include "ui/kit/ViewEnvironment.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

// The "xmark" in the card's corner; never takes the keyboard focus.
class CloseButton : public PressableButton {
public:
    explicit CloseButton(QWidget* parent) : PressableButton(0.96, parent) {
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::ArrowCursor);
    }

protected:
    void paintFace(QPainter& painter) override {
        constexpr double glyph = 12;
        const QRectF box((width() - glyph) / 2, (height() - glyph) / 2, glyph, glyph);
        SymbolIcon::paint(painter, box, QStringLiteral("xmark"),
                          QvColor::qvInkMuted().resolve(ViewEnvironment::colorScheme(this)));
    }
};

QFont labelFont() {
    return QvFont::qvText(FloatingTimerSurface::labelFontSize, QFont::Medium);
}

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(float(alpha));
    return color;
}

// `top` drawn over `bottom`.
QColor over(const QColor& top, const QColor& bottom) {
    const double a = top.alphaF();
    const double b = bottom.alphaF() * (1 - a);
    const double alpha = a + b;
    if (alpha <= 0) {
        return Qt::transparent;
    }
    const auto mix = [&](double t, double u) { return float((t * a + u * b) / alpha); };
    return QColor::fromRgbF(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()),
                            mix(top.blueF(), bottom.blueF()), float(alpha));
}

} // namespace

FloatingTimerSurface::FloatingTimerSurface(QWidget* parent)
    : QWidget(parent), m_close(new CloseButton(this)) {
    m_close->setObjectName(QStringLiteral("quorvane.floatingWindow.close"));
    connect(m_close, &QAbstractButton::clicked, this, &FloatingTimerSurface::closeClicked);
    m_close->resize(closeSide, closeSide);
    m_groundFade.setDuration(groundFadeMs);
    m_groundFade.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&m_groundFade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_runningGround = value.toDouble();
        update();
    });
    // Shown as written in every language, like the rest of the card's texts.
    setAccessibleName(QStringLiteral("TarvolinTimer timer"));
    m_close->setAccessibleName(QStringLiteral("Close"));
    // Its texts are painted: the card is the element, read with its value; only Close stays a control.
    AccessibleTraits::setRole(this, QAccessible::StaticText);
    AccessibleTraits::setValue(this, QString());
    AccessibleTraits::setPress(this, [this] { emit tapped(); });
}

QSize FloatingTimerSurface::sizeHint() const {
    return {200, 54};
}

void FloatingTimerSurface::setValues(const Values& values) {
    if (values == m_values) {
        return;
    }
    const Values before = m_values;
    const bool textChanged = values.timeText != before.timeText;
    // Where the time was drawn, before the new values move it.
    const Layout was = textChanged ? layout() : Layout();
    m_values = values;
    if (textChanged || values.label != before.label) {
        m_layoutSize = QSize();
    }
    m_close->setVisible(values.showsClose);
    const bool runningChanged = values.isRunning != before.isRunning;
    const double ground = values.isRunning ? 1.0 : 0.0;
    if (runningChanged && isVisible()) {
        // A colour change, so it stays under Reduce Motion.
        m_groundFade.stop();
        m_groundFade.setStartValue(m_runningGround);
        m_groundFade.setEndValue(ground);
        m_groundFade.start();
    } else if (m_groundFade.state() != QAbstractAnimation::Running) {
        m_runningGround = ground;
    }
    if (textChanged || values.label != before.label) {
        // One element for assistive technology: what it is, and the time with its label as its value.
        AccessibleTraits::setValue(this, values.label.isEmpty() ? values.timeText
                                                                : values.timeText + u' ' + values.label);
    }

    // A tick moves the time's digits and the end of the bar's fill; only those are drawn again. A change of
    // state, colour, label or button changes the whole card.
    const bool wholeCard = runningChanged || values.isFinished != before.isFinished ||
                           values.accent != before.accent || values.label != before.label ||
                           values.showsClose != before.showsClose;
    if (wholeCard) {
        update();
        return;
    }
    QRegion changed;
    if (textChanged) {
        const Layout& now = layout();
        if (was.timeFont != now.timeFont) {
            // A time of another length may take another size, which moves the label too.
            update();
            return;
        }
        changed |= timeChange(was, before.timeText, now, values.timeText);
    }
    if (values.progress != before.progress) {
        changed |= barChange(before.progress, values.progress).toAlignedRect();
    }
    update(changed);
}

QRectF FloatingTimerSurface::columnRect() const {
    return QRectF(rect()).adjusted(padding, padding, -padding, -padding);
}

QRectF FloatingTimerSurface::barTrackRect() const {
    const QRectF column = columnRect();
    return {column.left(), column.bottom() - barHeight, column.width(), barHeight};
}

namespace {

// How much of the track a progress fills: none below 0 (or when it is no number), all of it above 1.
double filledShare(double progress) {
    return progress > 0 ? std::min(progress, 1.0) : 0.0;
}

} // namespace

QRectF FloatingTimerSurface::barFillRect() const {
    if (!(m_values.progress > 0)) {
        return {};
    }
    QRectF fill = barTrackRect();
    fill.setWidth(fill.width() * filledShare(m_values.progress));
    return fill;
}

QRectF FloatingTimerSurface::barChange(double fromProgress, double toProgress) const {
    const QRectF track = barTrackRect();
    const double from = track.left() + track.width() * filledShare(fromProgress);
    const double to = track.left() + track.width() * filledShare(toProgress);
    // A pixel more on every side for the fill's smoothed end.
    return QRectF(std::min(from, to), track.top(), std::abs(to - from), track.height())
        .adjusted(-1, -1, 1, 1);
}

QRectF FloatingTimerSurface::timeInkRect() const {
    return layout().timeInk;
}

const FloatingTimerSurface::Layout& FloatingTimerSurface::layout() const {
    // A hidden widget is resized without a resize event until it is shown, so the size is checked here.
    if (m_layoutSize != size()) {
        m_layout = layOut(m_values);
        m_layoutSize = size();
    }
    return m_layout;
}

FloatingTimerSurface::Layout FloatingTimerSurface::layOut(const Values& values) const {
    Layout layout;
    const QRectF column = columnRect();
    const QRectF track = barTrackRect();
    // Time and label sit centred in the room above the bar; the time shrinks (to 70 % at most) to fit.
    const QFontMetricsF labelMetrics(labelFont());
    const bool hasLabel = !values.label.isEmpty();
    const double labelHeight = hasLabel ? labelMetrics.ascent() + labelMetrics.descent() : 0;
    const double room = track.top() - spacing - column.top();
    layout.timeFont = QvFont::qvDisplay(timeFontSize, QFont::ExtraBold);
    double scale = 1.0;
    {
        const QFontMetricsF metrics(layout.timeFont);
        const double naturalWidth = QvText::tabularWidth(layout.timeFont, values.timeText);
        if (naturalWidth > column.width()) {
            scale = std::min(scale, column.width() / naturalWidth);
        }
        // Digits stand on the baseline and reach the cap height: that is the time's box.
        const double naturalHeight = metrics.capHeight() + (hasLabel ? spacing + labelHeight : 0);
        if (naturalHeight > room) {
            scale = std::min(scale, (room - (hasLabel ? spacing + labelHeight : 0)) / metrics.capHeight());
        }
        scale = std::max(scale, timeMinimumScale);
        layout.timeFont.setPixelSize(std::max(1, int(timeFontSize * scale)));
    }
    const QFontMetricsF timeMetrics(layout.timeFont);
    const double timeHeight = timeMetrics.capHeight();
    const double group = timeHeight + (hasLabel ? spacing + labelHeight : 0);
    const double top = column.top() + std::max(0.0, (room - group) / 2);
    // drawTabular centres vertically on the font's full height; place that height so the digits fill the box.
    layout.baseline = top + timeHeight;
    layout.timeBox =
        QRectF(column.left(), layout.baseline - timeMetrics.ascent(), column.width(), timeMetrics.height());
    if (hasLabel) {
        layout.labelBox = QRectF(column.left(), layout.baseline + spacing, column.width(), labelHeight);
    }
    // Up and down the glyphs' own extent; sideways the characters' cells and as far as a glyph reaches past
    // its advance. A pixel more all round for smoothed edges.
    const QRectF tight = timeMetrics.tightBoundingRect(values.timeText);
    const double width = QvText::tabularWidth(layout.timeFont, values.timeText);
    layout.timeLeft = layout.timeBox.center().x() - width / 2;
    layout.timeOverhang = 1;
    for (const QChar c : values.timeText) {
        layout.timeOverhang =
            std::max({layout.timeOverhang, 1 - timeMetrics.leftBearing(c), 1 - timeMetrics.rightBearing(c)});
    }
    layout.timeInk = QRectF(layout.timeLeft - layout.timeOverhang, layout.baseline + tight.top() - 1,
                            width + 2 * layout.timeOverhang, tight.height() + 2);
    return layout;
}

QRegion FloatingTimerSurface::timeChange(const Layout& was, const QString& before, const Layout& now,
                                         const QString& after) const {
    const QRectF whole = was.timeInk | now.timeInk;
    // Digits sit in cells of one width, so when only digits changed every cell is where it was: the cells
    // of the changed digits are all that is drawn anew.
    if (before.size() != after.size() || was.timeLeft != now.timeLeft) {
        return whole.toAlignedRect();
    }
    const double cell = QvText::tabularDigitWidth(now.timeFont);
    const double overhang = std::max(was.timeOverhang, now.timeOverhang);
    QRegion region;
    for (qsizetype i = 0; i < after.size(); ++i) {
        if (before[i] == after[i]) {
            continue;
        }
        if (!QvText::isTabularDigit(before[i]) || !QvText::isTabularDigit(after[i])) {
            return whole.toAlignedRect();
        }
        const double left = now.timeLeft + QvText::tabularOffset(now.timeFont, after, i);
        region |= QRectF(left - overhang, whole.top(), cell + 2 * overhang, whole.height()).toAlignedRect();
    }
    return region;
}

QColor FloatingTimerSurface::timeColor() const {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    if (m_values.isFinished) {
        return QvColor::qvSuccess().resolve(scheme);
    }
    return m_values.isRunning ? m_values.accent : QvColor::qvInkPrimary().resolve(scheme);
}

QColor FloatingTimerSurface::barFillColor() const {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    if (m_values.isFinished) {
        return withAlpha(QvColor::qvSuccess().resolve(scheme), m_values.isRunning ? 0.9 : 0.5);
    }
    if (m_values.isRunning) {
        return withAlpha(m_values.accent, 0.9);
    }
    return withAlpha(QvColor::qvInkPrimary().resolve(scheme), 0.5);
}

QColor FloatingTimerSurface::backgroundColor() const {
    const QColor idle = QvColor::qvBgCard().resolve(ViewEnvironment::colorScheme(this));
    const QColor running = withAlpha(m_values.accent, 0.1);
    const double t = m_runningGround;
    if (t <= 0) {
        return idle;
    }
    if (t >= 1) {
        return running;
    }
    return QColor::fromRgbF(float(idle.redF() + (running.redF() - idle.redF()) * t),
                            float(idle.greenF() + (running.greenF() - idle.greenF()) * t),
                            float(idle.blueF() + (running.blueF() - idle.blueF()) * t),
                            float(idle.alphaF() + (running.alphaF() - idle.alphaF()) * t));
}

QColor FloatingTimerSurface::outlineColor() const {
    return m_values.isRunning ? withAlpha(m_values.accent, 0.3)
                              : QvColor::qvBorderCard().resolve(ViewEnvironment::colorScheme(this));
}

QColor FloatingTimerSurface::edgeColor() const {
    // The layers paintEvent draws: the card surface, the state's fill, the outline.
    const QColor surface = QvSurface::qvCard(false, cornerRadius, ViewEnvironment::colorScheme(this)).fill;
    return over(outlineColor(), over(backgroundColor(), surface));
}

void FloatingTimerSurface::paintEdgeGround(QPainter& painter, const QRectF& area) const {
    painter.fillRect(area, edgeColor());
    if (m_values.isRunning) {
        painter.fillRect(QRectF(area.left(), area.top(), stripWidth - area.left(), area.height()),
                         over(outlineColor(), m_values.accent));
    }
}

void FloatingTimerSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QRectF bounds = QRectF(rect());
    shapeFor(size());

    // The card surface, then the state's own fill over it, all inside the rounded shape.
    painter.save();
    painter.setClipPath(m_shape);
    painter.fillRect(bounds, QvSurface::qvCard(false, cornerRadius, scheme).fill);
    painter.fillRect(bounds, backgroundColor());
    if (m_values.isRunning) {
        painter.fillRect(QRectF(0, 0, stripWidth, bounds.height()), m_values.accent);
    }

    const Layout& layout = this->layout();
    painter.setFont(layout.timeFont);
    painter.setPen(timeColor());
    QvText::drawTabular(painter, layout.timeBox, Qt::AlignCenter, m_values.timeText);
    if (!m_values.label.isEmpty()) {
        const QFont font = labelFont();
        painter.setFont(font);
        painter.setPen(QvColor::qvInkMuted().resolve(scheme));
        painter.drawText(
            layout.labelBox, Qt::AlignHCenter | Qt::AlignTop,
            QFontMetricsF(font).elidedText(m_values.label, Qt::ElideRight, layout.labelBox.width()));
    }

    const QRectF track = barTrackRect();
    painter.fillRect(track, withAlpha(QvColor::qvInkPrimary().resolve(scheme), 0.1));
    if (const QRectF fill = barFillRect(); !fill.isEmpty()) {
        painter.fillRect(fill, barFillColor());
    }
    painter.restore();

    painter.setPen(QPen(outlineColor(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(m_outline);
}

void FloatingTimerSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    shapeFor(size());
    placeCloseButton();
}

void FloatingTimerSurface::shapeFor(const QSize& size) {
    if (size == m_shapeSize) {
        return;
    }
    m_shapeSize = size;
    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    m_shape = QvSurface::continuousRoundedRect(bounds, cornerRadius);
    m_outline = QvSurface::continuousRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius);
}

void FloatingTimerSurface::changeEvent(QEvent* event) {
    // The fonts follow the application's font.
    if (event->type() == QEvent::ApplicationFontChange || event->type() == QEvent::FontChange) {
        m_layoutSize = QSize();
        update();
    }
    QWidget::changeEvent(event);
}

void FloatingTimerSurface::placeCloseButton() {
    m_close->move(width() - closePadding - closeSide, closePadding);
}

void FloatingTimerSurface::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_dragging = false;
    m_pressGlobal = event->globalPosition().toPoint();
    m_windowStart = window()->pos();
    event->accept();
}

void FloatingTimerSurface::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - m_pressGlobal;
    if (!m_dragging && delta.manhattanLength() >= QApplication::startDragDistance()) {
        m_dragging = true;
        // The window manager moves it where it can; the release then goes to it, not to us.
        if (QWindow* handle = window()->windowHandle(); handle && handle->startSystemMove()) {
            m_pressed = false;
            event->accept();
            return;
        }
    }
    if (m_dragging) {
        window()->move(m_windowStart + delta);
    }
    event->accept();
}

void FloatingTimerSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool tap = !m_dragging && rect().contains(event->position().toPoint());
    m_pressed = false;
    m_dragging = false;
    event->accept();
    if (tap) {
        emit tapped();
    }
}
