#include "ui/settings/AccentColorPopup.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kFieldHeight = 140;
constexpr int kHueHeight = 14;
constexpr double kMarkRadius = 6;

// Small steps for the arrows, ten times larger with Shift.
double stepOf(const QKeyEvent* event, double small) {
    return event->modifiers().testFlag(Qt::ShiftModifier) ? small * 10 : small;
}

void paintFocusRing(QPainter& p, const QWidget& widget, double radius) {
    if (!widget.hasFocus()) {
        return;
    }
    QColor ring = QvColor::qvInkAction().resolve(ViewEnvironment::colorScheme(&widget));
    ring.setAlphaF(0.45f);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ring, 2));
    p.drawPath(QvSurface::continuousRoundedRect(QRectF(widget.rect()).adjusted(1, 1, -1, -1), radius));
}

void paintMark(QPainter& p, const QPointF& centre, const QColor& fill) {
    p.setBrush(fill);
    p.setPen(QPen(Qt::white, 2));
    p.drawEllipse(centre, kMarkRadius, kMarkRadius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 64), 1));
    p.drawEllipse(centre, kMarkRadius + 1.5, kMarkRadius + 1.5);
}

// Saturation grows to the right and brightness upwards, for the popup's current hue.
class SaturationValueField : public QWidget {
public:
    explicit SaturationValueField(AccentColorPopup& popup) : QWidget(&popup), m_popup(popup) {
        setObjectName(QStringLiteral("quorvane.settings.accentPicker.field"));
        setFocusPolicy(Qt::StrongFocus);
        setFixedSize(AccentColorPopup::contentWidth, kFieldHeight);
        setCursor(Qt::CrossCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF area = inner();
        const QPainterPath shape = QvSurface::continuousRoundedRect(area, 6);
        QLinearGradient across(area.topLeft(), area.topRight());
        across.setColorAt(0, Qt::white);
        across.setColorAt(1, QColor::fromHsvF(float(m_popup.hue() / 360.0), 1, 1));
        p.fillPath(shape, across);
        QLinearGradient down(area.topLeft(), area.bottomLeft());
        down.setColorAt(0, QColor(0, 0, 0, 0));
        down.setColorAt(1, Qt::black);
        p.fillPath(shape, down);
        paintMark(p, markAt(), m_popup.color());
        paintFocusRing(p, *this, 8);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            pick(event->position());
        }
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton) {
            pick(event->position());
        }
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override {
        const double step = stepOf(event, 0.01);
        double s = m_popup.saturation();
        double v = m_popup.value();
        switch (event->key()) {
        case Qt::Key_Left:
            s -= step;
            break;
        case Qt::Key_Right:
            s += step;
            break;
        case Qt::Key_Up:
            v += step;
            break;
        case Qt::Key_Down:
            v -= step;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
        }
        m_popup.setSaturationValue(s, v);
        event->accept();
    }

private:
    // Room on every side for the mark and the focus ring.
    QRectF inner() const { return QRectF(rect()).adjusted(3, 3, -3, -3); }
    QPointF markAt() const {
        const QRectF area = inner();
        return {area.left() + m_popup.saturation() * area.width(),
                area.top() + (1 - m_popup.value()) * area.height()};
    }
    void pick(const QPointF& at) {
        const QRectF area = inner();
        m_popup.setSaturationValue((at.x() - area.left()) / area.width(),
                                   1 - (at.y() - area.top()) / area.height());
    }

    AccentColorPopup& m_popup;
};

// The hues from red round to red again, left to right.
class HueBar : public QWidget {
public:
    explicit HueBar(AccentColorPopup& popup) : QWidget(&popup), m_popup(popup) {
        setObjectName(QStringLiteral("quorvane.settings.accentPicker.hue"));
        setFocusPolicy(Qt::StrongFocus);
        setFixedSize(AccentColorPopup::contentWidth, kHueHeight + 2 * 5);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF bar = barRect();
        QLinearGradient hues(bar.topLeft(), bar.topRight());
        for (int i = 0; i <= 6; ++i) {
            hues.setColorAt(i / 6.0, QColor::fromHsvF(float(std::min(i / 6.0, 0.9999)), 1, 1));
        }
        p.fillPath(QvSurface::continuousRoundedRect(bar, bar.height() / 2), hues);
        const double x = bar.left() + m_popup.hue() / 360.0 * bar.width();
        paintMark(p, QPointF(x, bar.center().y()), QColor::fromHsvF(float(m_popup.hue() / 360.0), 1, 1));
        paintFocusRing(p, *this, height() / 2.0);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            pick(event->position().x());
        }
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton) {
            pick(event->position().x());
        }
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override {
        const double step = stepOf(event, 1);
        switch (event->key()) {
        case Qt::Key_Left:
            m_popup.setHue(m_popup.hue() - step);
            break;
        case Qt::Key_Right:
            m_popup.setHue(m_popup.hue() + step);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
        }
        event->accept();
    }

private:
    QRectF barRect() const { return QRectF(rect()).adjusted(kMarkRadius + 2, 5, -(kMarkRadius + 2), -5); }
    void pick(double x) {
        const QRectF bar = barRect();
        m_popup.setHue((x - bar.left()) / bar.width() * 360.0);
    }

    AccentColorPopup& m_popup;
};

} // namespace

AccentColorPopup::AccentColorPopup(const QColor& start, QWidget* anchor)
    : ShapedWindow(anchor, Qt::Popup | Qt::NoDropShadowWindowHint) {
    setObjectName(QStringLiteral("quorvane.settings.accentPicker"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QColor hsv = start.toHsv();
    // A grey has no hue of its own: the bar starts at red.
    m_hue = std::max(0.0, double(hsv.hsvHueF()) * 360.0);
    m_saturation = hsv.hsvSaturationF();
    m_value = hsv.valueF();
    m_reported = start.toRgb();

    auto* column = new QVBoxLayout(this);
    column->setSpacing(spacing);
    column->setSizeConstraint(QLayout::SetFixedSize);
    auto* heading = new TokenLabel(QvColor::qvInkPrimary(), this);
    heading->setObjectName(QStringLiteral("quorvane.settings.accentPicker.heading"));
    heading->setFont(QvFont::qvText(13, QFont::DemiBold));
    heading->setText(tr("Pick any color"));
    column->addWidget(heading);
    m_field = new SaturationValueField(*this);
    m_hueBar = new HueBar(*this);
    // The picker's name; it shows no title of its own.
    m_field->setAccessibleName(tr("Accent Color"));
    m_hueBar->setAccessibleName(tr("Accent Color"));
    column->addWidget(m_field);
    column->addWidget(m_hueBar);
    placeArrow(true, (contentWidth + 2 * padding) / 2);
}

QColor AccentColorPopup::color() const {
    return m_reported;
}

void AccentColorPopup::setHue(double degrees) {
    m_hue = std::clamp(degrees, 0.0, 360.0);
    applyChange();
}

void AccentColorPopup::setSaturationValue(double saturation, double value) {
    m_saturation = std::clamp(saturation, 0.0, 1.0);
    m_value = std::clamp(value, 0.0, 1.0);
    applyChange();
}

void AccentColorPopup::applyChange() {
    m_field->update();
    m_hueBar->update();
    const QColor now =
        QColor::fromHsvF(float(std::min(m_hue, 359.999) / 360.0), float(m_saturation), float(m_value))
            .toRgb();
    // Only a new colour is news: a hue change on a grey, say, changes nothing.
    if (now.rgb() != m_reported.rgb()) {
        m_reported = now;
        emit colorChanged(now);
    }
}

void AccentColorPopup::placeArrow(bool pointsUp, int arrowX) {
    m_pointsUp = pointsUp;
    m_arrowX = arrowX;
    layout()->setContentsMargins(padding, padding + (pointsUp ? arrowHeight : 0), padding,
                                 padding + (pointsUp ? 0 : arrowHeight));
    followOutline();
    update();
}

void AccentColorPopup::popUp(const QWidget& anchor) {
    const QPoint bottomCentre = anchor.mapToGlobal(QPoint(anchor.width() / 2, anchor.height()));
    const QPoint topCentre = anchor.mapToGlobal(QPoint(anchor.width() / 2, 0));
    const QScreen* screen = QGuiApplication::screenAt(bottomCentre);
    if (!screen) {
        screen = anchor.screen();
    }
    const QRect room = screen ? screen->availableGeometry() : QRect();
    placeArrow(true, 0);
    adjustSize();
    const bool below = room.isNull() || bottomCentre.y() + height() <= room.bottom() + 1 ||
                       topCentre.y() - height() < room.top();
    int x = bottomCentre.x() - width() / 2;
    if (!room.isNull()) {
        x = std::clamp(x, room.left(), std::max(room.left(), room.right() + 1 - width()));
    }
    const int y = below ? bottomCentre.y() : topCentre.y() - height();
    // The arrow keeps pointing at the anchor's middle, within the rounded body.
    const int arrowX = std::clamp(bottomCentre.x() - x, int(cornerRadius) + arrowHalfWidth,
                                  width() - int(cornerRadius) - arrowHalfWidth);
    placeArrow(below, arrowX);
    adjustSize();
    move(x, y);
    show();
    m_field->setFocus(Qt::PopupFocusReason);
}

QPainterPath AccentColorPopup::outline(const QRectF& bounds) const {
    const QRectF body =
        m_pointsUp ? bounds.adjusted(0, arrowHeight, 0, 0) : bounds.adjusted(0, 0, 0, -arrowHeight);
    QPainterPath arrow;
    const double tipY = m_pointsUp ? bounds.top() : bounds.bottom();
    const double baseY = m_pointsUp ? body.top() + 1 : body.bottom() - 1;
    arrow.moveTo(m_arrowX - arrowHalfWidth, baseY);
    arrow.lineTo(m_arrowX, tipY);
    arrow.lineTo(m_arrowX + arrowHalfWidth, baseY);
    arrow.closeSubpath();
    return QvSurface::continuousRoundedRect(body, cornerRadius).united(arrow);
}

QColor AccentColorPopup::edgeColor() const {
    return QvColor::qvBgCard().resolve(ViewEnvironment::colorScheme(this));
}

void AccentColorPopup::paintShape(QPainter& p) {
    const QPainterPath shape = outline(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    p.fillPath(shape, edgeColor());
    p.strokePath(shape, QPen(QvColor::qvBorderCard().resolve(ViewEnvironment::colorScheme(this)), 1));
}
