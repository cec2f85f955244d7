#include "ui/home/RunningHeroView.h"

#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/QvText.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/MinuteDialView.h"
#include "ui/kit/MotionCurves.h"
#include "ui/kit/PressableButton.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr int kHoverMs = 120;
constexpr int kIconSwapMs = 140;
constexpr double kFocusRingOpacity = 0.45;
constexpr double kTimeFontSize = 44;
constexpr double kTimeMinimumScale = 0.72;
constexpr double kColumnInset = 24;
constexpr double kColumnSpacing = 8;
constexpr double kEndLineOpacity = 0.75;
constexpr double kIconSide = 18;
constexpr double kPlayNudge = 1.5;
// Room around the secondary controls' shape for the focus ring's outer half.
constexpr int kSecondaryRingRoom = 2;
// The round button's widget: its circle grown on hover, and the ring 3 px outside it.
constexpr int kPrimaryRingGap = 3;
constexpr int kPrimarySide = 58;

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(float(std::clamp(alpha, 0.0, 1.0) * color.alphaF()));
    return color;
}

QColor mix(const QColor& from, const QColor& to, double t) {
    const auto channel = [t](float a, float b) { return float(double(a) + (double(b) - double(a)) * t); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), channel(from.alphaF(), to.alphaF()));
}

// Animates a level between 0 and 1 towards a target; the owner repaints on every step.
class Level {
public:
    Level(QWidget* owner, int durationMs, const QEasingCurve& curve, std::function<void()> onStep = {})
        : m_owner(owner), m_onStep(std::move(onStep)) {
        m_animation.setDuration(durationMs);
        m_animation.setEasingCurve(curve);
        QObject::connect(&m_animation, &QVariantAnimation::valueChanged, owner,
                         [this](const QVariant& value) { step(value.toDouble()); });
    }
    double value() const { return m_value; }
    double target() const { return m_target; }
    void moveTo(double target, bool animated) {
        if (target == m_target) {
            return;
        }
        m_target = target;
        m_animation.stop();
        if (!animated) {
            step(target);
            return;
        }
        m_animation.setStartValue(m_value);
        m_animation.setEndValue(target);
        m_animation.start();
    }

private:
    void step(double value) {
        m_value = value;
        if (m_onStep) {
            m_onStep();
        }
        m_owner->update();
    }

    QWidget* m_owner;
    std::function<void()> m_onStep;
    double m_value = 0;
    double m_target = 0;
    QVariantAnimation m_animation;
};

} // namespace

// Stop and Skip: a caption on a shape that fills while hovered; the title is shown as written in every
// language.
class HeroSecondaryButton : public PressableButton {
public:
    HeroSecondaryButton(const QString& title, QWidget* parent)
        : PressableButton(0.96, parent), m_hover(this, kHoverMs, MotionCurves::easeOut()) {
        setText(title);
        setAccessibleName(title);
        setFocusPolicy(Qt::TabFocus);
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(RunningHeroView::secondaryWidth + 2 * kSecondaryRingRoom,
                     RunningHeroView::secondaryHeight + 2 * kSecondaryRingRoom);
    }
    bool isHovered() const { return m_hover.target() > 0; }

protected:
    void paintFace(QPainter& painter) override {
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const double hover = m_hover.value();
        const QRectF shape = QRectF(rect()).adjusted(kSecondaryRingRoom, kSecondaryRingRoom,
                                                     -kSecondaryRingRoom, -kSecondaryRingRoom);
        const QPainterPath path = QvSurface::continuousRoundedRect(shape, 12);
        if (hover > 0) {
            painter.fillPath(path, withAlpha(QvColor::qvSurfaceMuted().resolve(scheme), hover));
        }
        painter.setFont(QvFont::qvText(11, QFont::DemiBold));
        painter.setPen(
            mix(QvColor::qvTextSecondary().resolve(scheme), QvColor::qvTextPrimary().resolve(scheme), hover));
        painter.drawText(shape, Qt::AlignCenter, text());
        if (hasFocus()) {
            painter.setPen(QPen(withAlpha(QvColor::qvInkAction().resolve(scheme), kFocusRingOpacity), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
        }
    }
    bool hitButton(const QPoint& pos) const override {
        return QRect(kSecondaryRingRoom, kSecondaryRingRoom, RunningHeroView::secondaryWidth,
                     RunningHeroView::secondaryHeight)
            .contains(pos);
    }
    void enterEvent(QEnterEvent* event) override {
        PressableButton::enterEvent(event);
        m_hover.moveTo(1, true);
        notifyHover();
    }
    void leaveEvent(QEvent* event) override {
        PressableButton::leaveEvent(event);
        m_hover.moveTo(0, true);
        notifyHover();
    }
    void hideEvent(QHideEvent* event) override {
        PressableButton::hideEvent(event);
        m_hover.moveTo(0, false);
    }
    void focusInEvent(QFocusEvent* event) override {
        PressableButton::focusInEvent(event);
        update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        PressableButton::focusOutEvent(event);
        update();
    }

private:
    void notifyHover() {
        if (parentWidget()) {
            parentWidget()->update();
        }
    }

    Level m_hover;
};

// The round button: play and pause cross-fade with a swap of scales; hovering lifts it with two shadows
// (drawn by the card beneath) and grows it a little unless motion is reduced.
class HeroPrimaryButton : public PressableButton {
public:
    explicit HeroPrimaryButton(QWidget* parent)
        : PressableButton(0.94, parent), m_hover(this, kHoverMs, MotionCurves::easeOut()),
          m_pause(this, kIconSwapMs, QEasingCurve(QEasingCurve::InOutQuad)) {
        setFocusPolicy(Qt::TabFocus);
        setMouseTracking(true);
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(kPrimarySide, kPrimarySide);
        connect(&ReduceMotion::instance(), &ReduceMotion::changed, this, [this] { update(); });
    }

    void setLook(bool timerRunning, bool showsPause, bool animated) {
        if (timerRunning != m_timerRunning) {
            m_timerRunning = timerRunning;
            update();
        }
        m_pause.moveTo(showsPause ? 1 : 0, animated);
    }
    bool isHovered() const { return m_hover.target() > 0; }
    double hoverLevel() const { return m_hover.value(); }
    double circleScale() const {
        return ReduceMotion::enabled() ? 1.0
                                       : 1.0 + (RunningHeroView::primaryHoverScale - 1.0) * hoverLevel();
    }
    // The circle in the widget's own coordinates, as drawn now (without the press shrink).
    QRectF circleRect() const {
        const double d = RunningHeroView::primaryDiameter * circleScale();
        const QPointF c = QRectF(rect()).center();
        return QRectF(c.x() - d / 2, c.y() - d / 2, d, d);
    }

protected:
    void paintFace(QPainter& painter) override {
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const QPointF centre = QRectF(rect()).center();
        const double scale = circleScale();
        painter.translate(centre);
        painter.scale(scale, scale);
        const double r = RunningHeroView::primaryDiameter / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_timerRunning ? QvColor::qvSurfaceMuted().resolve(scheme)
                                        : QvColor::qvInkAction().resolve(scheme));
        painter.drawEllipse(QPointF(0, 0), r, r);

        const QColor ink = m_timerRunning ? QvColor::qvInkAction().resolve(scheme)
                                          : QvColor::qvInkOnAction().resolve(scheme);
        const double pause = m_pause.value();
        const auto drawIcon = [&](const QString& name, double opacity, double iconScale, double nudge) {
            if (opacity <= 0) {
                return;
            }
            const double side = kIconSide * iconScale;
            painter.save();
            painter.setOpacity(painter.opacity() * opacity);
            SymbolIcon::paint(painter, QRectF(nudge - side / 2, -side / 2, side, side), name, ink);
            painter.restore();
        };
        drawIcon(QStringLiteral("play.fill"), 1 - pause, 1 - 0.75 * pause, kPlayNudge);
        drawIcon(QStringLiteral("pause.fill"), pause, 0.25 + 0.75 * pause, 0);

        if (hasFocus()) {
            const double ring = r + kPrimaryRingGap;
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(withAlpha(QvColor::qvInkAction().resolve(scheme), kFocusRingOpacity), 2));
            painter.drawEllipse(QPointF(0, 0), ring, ring);
        }
    }
    bool hitButton(const QPoint& pos) const override { return insideCircle(pos); }
    void mouseMoveEvent(QMouseEvent* event) override {
        setHovered(insideCircle(event->position().toPoint()));
        PressableButton::mouseMoveEvent(event);
    }
    void enterEvent(QEnterEvent* event) override {
        setHovered(insideCircle(event->position().toPoint()));
        PressableButton::enterEvent(event);
    }
    void leaveEvent(QEvent* event) override {
        setHovered(false);
        PressableButton::leaveEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override {
        PressableButton::focusInEvent(event);
        update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        PressableButton::focusOutEvent(event);
        update();
    }

private:
    bool insideCircle(const QPoint& pos) const {
        const QPointF d = QPointF(pos) - QRectF(rect()).center();
        const double r = RunningHeroView::primaryDiameter / 2.0;
        return d.x() * d.x() + d.y() * d.y() <= r * r;
    }
    void setHovered(bool hovered) {
        if (hovered == isHovered()) {
            return;
        }
        m_hover.moveTo(hovered ? 1 : 0, true);
        if (parentWidget()) {
            parentWidget()->update();
        }
    }

    bool m_timerRunning = false;
    Level m_hover;
    Level m_pause;
};

// The end time under the caption; it fades in when the timer starts and out when it stops. It is read on
// its own, as it is drawn, while there is an end time.
class HeroEndLine : public QWidget {
public:
    explicit HeroEndLine(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("quorvane.runningHero.endsAt"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        AccessibleTraits::setRole(this, QAccessible::StaticText);
    }
    const QString& text() const { return m_text; }
    void setText(const QString& text) {
        if (text != m_text) {
            m_text = text;
            setAccessibleName(text);
            update();
        }
    }
    // Gone for a reader as soon as the end time is; the fade out is only drawn.
    void setPresent(bool present) { AccessibleTraits::setHidden(this, !present); }
    void setFade(double fade) {
        if (fade != m_fade) {
            m_fade = fade;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(QvFont::qvText(11, QFont::Normal));
        painter.setPen(withAlpha(QvColor::qvTextSecondary().resolve(ViewEnvironment::colorScheme(this)),
                                 kEndLineOpacity * m_fade));
        QvText::drawTabular(painter, QRectF(rect()), Qt::AlignCenter, m_text);
    }

private:
    QString m_text;
    double m_fade = 0;
};

// The dial's middle: the remaining time (shrinking to fit one line), the caption, and the end line. It lies
// over the dial, so every frame of the dial beneath reaches it: it draws a line only where a line is asked
// for, and asks for a line again only when its text changes.
// A reader hears it as one element, named by the timer, with the time and caption as its value. The end
// line, which that element would keep from a reader, is its sibling, laid out by it.
class HeroDialBlock : public QWidget {
public:
    explicit HeroDialBlock(QWidget* parent)
        : QWidget(parent),
          m_endLinePresence(this, kHoverMs, MotionCurves::easeOut(), [this] { placeEndLine(); }) {
        setObjectName(QStringLiteral("quorvane.runningHero"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedSize(RunningHeroView::dialSize, RunningHeroView::dialSize);
        AccessibleTraits::setRole(this, QAccessible::StaticText);
        AccessibleTraits::readAsOne(this);
        m_endLine = new HeroEndLine(parent);
        m_endLine->hide();
    }

    HeroEndLine* endLine() const { return m_endLine; }

    void present(const RunningHeroContent& content, const QLocale& locale, bool animated) {
        const bool timeChanged = content.displayTime != m_time;
        const bool captionChanged = content.stateLabel != m_caption;
        if (timeChanged || captionChanged) {
            const Column before = column();
            m_time = content.displayTime;
            m_caption = content.stateLabel;
            m_column.reset();
            const Column after = column();
            if (before.time != after.time) {
                // A narrower time font moves the whole column.
                update();
            } else {
                if (timeChanged) {
                    update((before.timeInk | after.timeInk).toAlignedRect());
                }
                if (captionChanged) {
                    update(after.caption.toAlignedRect());
                }
            }
        }
        const bool present = content.endsAt.has_value();
        if (present) {
            m_endLine->setText(content.endsAtText(locale));
        }
        m_endLine->setPresent(present);
        m_endLinePresence.moveTo(present ? 1 : 0, animated);
        placeEndLine();
        if (const QString label = content.accessibleLabel(); label != accessibleName()) {
            setAccessibleName(label);
        }
        AccessibleTraits::setValue(this, content.accessibleValue());
    }

protected:
    void moveEvent(QMoveEvent* event) override {
        QWidget::moveEvent(event);
        placeEndLine();
    }
    void paintEvent(QPaintEvent* event) override {
        const Column& lines = column();
        const bool drawsTime = event->region().intersects(lines.timeInk.toAlignedRect());
        const bool drawsCaption = event->region().intersects(lines.caption.toAlignedRect());
        if (!drawsTime && !drawsCaption) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        if (drawsTime) {
            painter.setFont(lines.timeFont);
            painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
            QvText::drawTabular(painter, lines.time, Qt::AlignCenter, m_time);
        }
        if (drawsCaption) {
            painter.setFont(captionFont());
            painter.setPen(QvColor::qvTextSecondary().resolve(scheme));
            painter.drawText(lines.caption, Qt::AlignCenter, m_caption);
        }
    }

private:
    struct Column {
        QFont timeFont;
        QRectF time;
        // Where the time's glyphs may reach: wider than its line when even the smallest font is too wide.
        QRectF timeInk;
        QRectF caption;
        QRectF endLine;
    };
    static QFont captionFont() { return QvFont::qvText(11, QFont::DemiBold); }

    // Worked out again only when the time or the end line's presence changes.
    const Column& column() {
        if (!m_column) {
            m_column = layOut();
        }
        return *m_column;
    }

    Column layOut() const {
        Column column;
        const double room = width() - 2 * kColumnInset;
        column.timeFont = QvFont::qvDisplay(kTimeFontSize, QFont::Medium);
        const double natural = QvText::tabularWidth(column.timeFont, m_time);
        if (natural > room) {
            const double scale = std::max(kTimeMinimumScale, room / natural);
            column.timeFont.setPixelSize(std::max(1, int(kTimeFontSize * scale)));
        }
        const double timeHeight = QFontMetricsF(column.timeFont).height();
        const double captionHeight = QFontMetricsF(captionFont()).height();
        const double lineHeight = QFontMetricsF(QvFont::qvText(11, QFont::Normal)).height();
        const double presence = m_endLinePresence.value();
        const double total =
            timeHeight + kColumnSpacing + captionHeight + presence * (kColumnSpacing + lineHeight);
        const double top = (height() - total) / 2;
        column.time = QRectF(kColumnInset, top, room, timeHeight);
        const double inkWidth = std::max(room, QvText::tabularWidth(column.timeFont, m_time)) + 2;
        column.timeInk = QRectF(column.time.center().x() - inkWidth / 2, column.time.top() - 1, inkWidth,
                                column.time.height() + 2);
        column.caption = QRectF(kColumnInset, column.time.bottom() + kColumnSpacing, room, captionHeight);
        column.endLine = QRectF(kColumnInset, column.caption.bottom() + kColumnSpacing, room, lineHeight);
        return column;
    }

    void placeEndLine() {
        const double presence = m_endLinePresence.value();
        if (presence != m_placedPresence) {
            m_placedPresence = presence;
            m_column.reset();
        }
        m_endLine->setGeometry(column().endLine.toAlignedRect().translated(pos()));
        m_endLine->setFade(presence);
        m_endLine->setVisible(presence > 0 || m_endLinePresence.target() > 0);
    }

    QString m_time;
    QString m_caption;
    HeroEndLine* m_endLine;
    Level m_endLinePresence;
    std::optional<Column> m_column;
    double m_placedPresence = -1;
};

int RunningHeroView::margin() {
    return MinuteDialView::bumpOverflow(dialSize);
}

RunningHeroView::RunningHeroView(Clock clock, QWidget* parent) : QWidget(parent), m_clock(std::move(clock)) {
    setAttribute(Qt::WA_TranslucentBackground);
    const int m = margin();
    setFixedSize(cardWidth + 2 * m, cardHeight + 2 * m);

    m_dial = new MinuteDialView(dialSize, 0, 0, 1.0, this);
    m_dial->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_dial->move(m - m_dial->overflow(), m - m_dial->overflow());
    m_block = new HeroDialBlock(this);
    m_block->move(m, m);

    // Shown as written in every language.
    m_stop = new HeroSecondaryButton(QStringLiteral("Stop"), this);
    m_primary = new HeroPrimaryButton(this);
    m_primary->setObjectName(QStringLiteral("quorvane.runningHero.primary"));
    m_skip = new HeroSecondaryButton(QStringLiteral("Skip"), this);
    const int rowTop = m + controlsTop;
    const int rowLeft = m + controlsLeft;
    const int secondaryTop = rowTop + (controlsHeight - secondaryHeight) / 2 - kSecondaryRingRoom;
    m_stop->move(rowLeft - kSecondaryRingRoom, secondaryTop);
    const int primaryCentreX = rowLeft + secondaryWidth + controlSpacing + primaryDiameter / 2;
    m_primary->move(primaryCentreX - kPrimarySide / 2, rowTop + controlsHeight / 2 - kPrimarySide / 2);
    m_skip->move(rowLeft + controlsWidth - secondaryWidth - kSecondaryRingRoom, secondaryTop);

    connect(m_primary, &QAbstractButton::clicked, this, &RunningHeroView::toggleRequested);
    connect(m_stop, &QAbstractButton::clicked, this, &RunningHeroView::cancelRequested);
    connect(m_skip, &QAbstractButton::clicked, this, &RunningHeroView::skipRequested);
}

QRect RunningHeroView::cardRect() const {
    return QRect(margin(), margin(), cardWidth, cardHeight);
}

void RunningHeroView::setTimer(const TimerItem& timer, bool isLive, bool showsSkip) {
    const bool sameTimer = timer.id == m_timer.id;
    m_timer = timer;
    m_isLive = isLive;
    m_showsSkip = showsSkip;
    refresh(sameTimer);
}

void RunningHeroView::refresh(bool sameTimer) {
    const RunningHeroContent previous = m_content;
    m_content = RunningHeroContent::make(m_timer, m_isLive, m_showsSkip, m_clock(),
                                         sameTimer ? previous.endsAt : std::nullopt);
    // Changes after the first show move; the first state is simply there.
    const bool animated = isVisible();
    m_dial->setState(m_content.tickCount, m_content.progress, m_content.litOpacity);
    m_block->present(m_content, locale(), animated);
    m_primary->setLook(m_content.isRunning, m_content.primaryIcon == QStringLiteral("pause.fill"),
                       animated && previous.primaryIcon != m_content.primaryIcon);
    if (const QString label = m_content.primaryAccessibleLabel(); label != m_primary->accessibleName()) {
        m_primary->setAccessibleName(label);
    }
    // Hidden controls keep their place, so the round button stays in the middle.
    m_stop->setVisible(m_content.isLive);
    m_skip->setVisible(m_content.showsSkip);
}

QAbstractButton* RunningHeroView::control(Control control) const {
    switch (control) {
    case Control::stop:
        return m_stop;
    case Control::primary:
        return m_primary;
    case Control::skip:
        return m_skip;
    }
    return nullptr;
}

std::optional<RunningHeroView::Control> RunningHeroView::hoveredControl() const {
    if (m_stop->isVisible() && m_stop->isHovered()) {
        return Control::stop;
    }
    if (m_primary->isHovered()) {
        return Control::primary;
    }
    if (m_skip->isVisible() && m_skip->isHovered()) {
        return Control::skip;
    }
    return std::nullopt;
}

std::optional<RunningHeroView::Control> RunningHeroView::focusedControl() const {
    for (Control c : {Control::stop, Control::primary, Control::skip}) {
        if (control(c)->hasFocus()) {
            return c;
        }
    }
    return std::nullopt;
}

QString RunningHeroView::endsAtText() const {
    return m_content.endsAt ? m_block->endLine()->text() : QString();
}

void RunningHeroView::paintEvent(QPaintEvent* event) {
    const double hover = m_primary->hoverLevel();
    if (hover <= 0) {
        return;
    }
    // The round button's lift: a tight contact shadow and a soft far one, under its circle as drawn now.
    SurfaceStyle lift;
    lift.shadows = {SurfaceShadow{Qt::black, 0.07, 2, 1}, SurfaceShadow{Qt::black, 0.06, 14, 7}};
    const QRectF circle = m_primary->circleRect().translated(m_primary->pos());
    const QSize side(int(std::ceil(circle.width())), int(std::ceil(circle.height())));
    // The dial's frames repaint small pieces of the card through its translucent children; the shadows
    // are made again only for a repaint that reaches them.
    const QRect reach = QRect(circle.topLeft().toPoint(), side)
                            .marginsAdded(QvSurface::shadowMargins(lift) + QMargins(1, 1, 1, 1));
    if (!event->region().intersects(reach)) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QImage drawing(side, QImage::Format_ARGB32_Premultiplied);
    drawing.fill(Qt::transparent);
    {
        QPainter shape(&drawing);
        shape.setRenderHint(QPainter::Antialiasing);
        shape.setPen(Qt::NoPen);
        shape.setBrush(Qt::black);
        shape.drawEllipse(QRectF(QPointF(0, 0), circle.size()));
    }
    painter.setOpacity(hover);
    QvSurface::paintShadowsOf(painter, drawing, circle.topLeft().toPoint(), lift.shadows, 1.0);
}

void RunningHeroView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::LocaleChange) {
        refresh();
    }
    QWidget::changeEvent(event);
}
