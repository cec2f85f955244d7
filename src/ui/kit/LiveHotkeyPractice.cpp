#include "ui/kit/LiveHotkeyPractice.h"

#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/ModifierFlags.h"
#include "hotkeys/XModifierMasks.h"
#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/MotionCurves.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>

using GlobalHotkeys::CarbonModifier::command;
using GlobalHotkeys::CarbonModifier::control;
using GlobalHotkeys::CarbonModifier::option;
using GlobalHotkeys::CarbonModifier::shift;

namespace {

// The modifier a modifier key stands for; 0 for any other key.
qint64 modifierOfKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
        return shift;
    case Qt::Key_Control:
        return control;
    case Qt::Key_Alt:
        return option;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return command;
    default:
        return 0;
    }
}

bool isModifierKey(int key) {
    return modifierOfKey(key) != 0 || key == Qt::Key_CapsLock || key == Qt::Key_NumLock ||
           key == Qt::Key_AltGr || key == Qt::Key_Hyper_L || key == Qt::Key_Hyper_R;
}

} // namespace

// The rounded box under the caption: the live label, the waiting text, or the check mark with the shortcut.
class PracticeBox : public QWidget {
public:
    explicit PracticeBox(LiveHotkeyPractice* owner) : QWidget(owner), m_owner(owner) {
        setFixedHeight(LiveHotkeyPractice::boxHeight);
        m_fade.setEasingCurve(MotionCurves::easeOut());
        m_fade.setDuration(100);
        connect(&m_fade, &QVariantAnimation::valueChanged, this, [this] { update(); });
    }

    void labelChanged() {
        if (ReduceMotion::enabled()) {
            update();
            return;
        }
        m_fade.stop();
        m_fade.setStartValue(0.4);
        m_fade.setEndValue(1.0);
        m_fade.start();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const bool success = m_owner->succeeded();
        const double line = success ? 2 : 1;
        const QPainterPath shape = QvSurface::continuousRoundedRect(
            QRectF(rect()).adjusted(line / 2, line / 2, -line / 2, -line / 2), 12);
        painter.fillPath(shape,
                         (success ? QvColor::qvSageFill() : QvColor::qvSurfaceMuted()).resolve(scheme));
        painter.setPen(
            QPen((success ? QvColor::qvSageEnabled() : QvColor::qvStroke()).resolve(scheme), line));
        painter.drawPath(shape);

        const QString text = m_owner->boxText();
        if (success) {
            const QFont font = QvFont::qvDisplay(20, QFont::DemiBold);
            const double side = 20;
            const double textWidth = QFontMetricsF(font).horizontalAdvance(text);
            const double left = (width() - (side + 8 + textWidth)) / 2;
            SymbolIcon::paint(painter, QRectF(left, (height() - side) / 2, side, side),
                              QStringLiteral("checkmark.circle.fill"), m_owner->accent());
            painter.setFont(font);
            painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
            painter.drawText(QRectF(left + side + 8, 0, textWidth + 1, height()), Qt::AlignVCenter, text);
        } else if (!m_owner->liveLabel().isEmpty()) {
            painter.setOpacity(
                m_fade.state() == QAbstractAnimation::Running ? m_fade.currentValue().toDouble() : 1.0);
            painter.setFont(QvFont::qvDisplay(24, QFont::DemiBold));
            painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
            painter.drawText(rect(), Qt::AlignCenter, text);
        } else {
            painter.setFont(QvFont::qvText(13, QFont::DemiBold));
            painter.setPen(QvColor::qvTextTertiary().resolve(scheme));
            painter.drawText(rect(), Qt::AlignCenter, text);
        }
    }

private:
    LiveHotkeyPractice* m_owner;
    QVariantAnimation m_fade;
};

LiveHotkeyPractice::LiveHotkeyPractice(const GlobalHotkeys::Name& name, std::function<void()> onSuccess,
                                       const QColor& accent, QWidget* parent)
    : QWidget(parent), m_name(name), m_onSuccess(std::move(onSuccess)), m_accent(accent) {
    setObjectName(QStringLiteral("hotkeyPractice"));
    setMaximumWidth(maximumWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    m_caption = new TokenLabel(QvColor::qvTextSecondary(), this);
    m_caption->setObjectName(QStringLiteral("hotkeyPractice.caption"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setWordWrap(true);
    column->addWidget(m_caption);
    m_box = new PracticeBox(this);
    m_box->setObjectName(QStringLiteral("hotkeyPractice.box"));
    column->addWidget(m_box);
    refresh();
}

LiveHotkeyPractice::~LiveHotkeyPractice() {
    if (m_practicing) {
        endPractice();
    }
}

qint64 LiveHotkeyPractice::eventFlags(const QKeyEvent& event) {
    qint64 flags = GlobalHotkeys::carbonModifiers(event.modifiers());
    // The desktop reports a modifier's state from before its own key event.
    if (const qint64 own = modifierOfKey(event.key())) {
        flags = event.type() == QEvent::KeyRelease ? (flags & ~own) : (flags | own);
    }
    if ((event.nativeModifiers() & GlobalHotkeys::XModifierMasks::lock) != 0) {
        flags |= capsLockFlag;
    }
    return flags;
}

QString LiveHotkeyPractice::symbolString(qint64 flags) {
    return GlobalHotkeys::modifierDescription(flags);
}

QString LiveHotkeyPractice::keyString(qint64 carbonKeyCode) {
    switch (carbonKeyCode) {
    case 36:
        return QStringLiteral("\u21A9");
    case 48:
        return QStringLiteral("\u21E5");
    case 49:
        return QStringLiteral("Space");
    case 53:
        return QStringLiteral("esc");
    default:
        break;
    }
    static const struct {
        qint64 code;
        char text;
    } kTable[] = {
        {0, 'A'},  {11, 'B'}, {8, 'C'},  {2, 'D'},  {14, 'E'}, {3, 'F'},  {5, 'G'},  {4, 'H'},  {34, 'I'},
        {38, 'J'}, {40, 'K'}, {37, 'L'}, {46, 'M'}, {45, 'N'}, {31, 'O'}, {35, 'P'}, {12, 'Q'}, {15, 'R'},
        {1, 'S'},  {17, 'T'}, {32, 'U'}, {9, 'V'},  {13, 'W'}, {7, 'X'},  {16, 'Y'}, {6, 'Z'},  {18, '1'},
        {19, '2'}, {20, '3'}, {21, '4'}, {23, '5'}, {22, '6'}, {26, '7'}, {28, '8'}, {25, '9'}, {29, '0'},
    };
    for (const auto& row : kTable) {
        if (row.code == carbonKeyCode) {
            return QString(QLatin1Char(row.text));
        }
    }
    return QString();
}

QString LiveHotkeyPractice::captionText() const {
    const auto target = GlobalHotkeys::getShortcut(m_name);
    if (!target) {
        return tr("Set your summon key above, then practice it here");
    }
    if (m_success) {
        return tr("You did it!");
    }
    return tr("Now try pressing %1").arg(target->description());
}

QString LiveHotkeyPractice::boxText() const {
    if (m_success) {
        const auto target = GlobalHotkeys::getShortcut(m_name);
        return target ? target->description() : QString();
    }
    return m_liveLabel.isEmpty() ? tr("Waiting for a key press…") : m_liveLabel;
}

void LiveHotkeyPractice::startPractice() {
    if (!GlobalHotkeys::getShortcut(m_name) || m_practicing || m_success) {
        return;
    }
    GlobalHotkeys::disable({m_name});
    qApp->installEventFilter(this);
    m_practicing = true;
}

void LiveHotkeyPractice::endPractice() {
    if (m_practicing) {
        qApp->removeEventFilter(this);
        m_practicing = false;
    }
    GlobalHotkeys::enable({m_name});
}

bool LiveHotkeyPractice::eventFilter(QObject* watched, QEvent* event) {
    // Key events reach a window first and then its widgets: only the window's copy is looked at, so each
    // press counts once.
    if (m_practicing && watched->isWindowType() &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        // Presses, and a modifier's release (which changes what is held); other releases say nothing.
        if ((event->type() == QEvent::KeyPress || isModifierKey(key->key())) && handle(*key)) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool LiveHotkeyPractice::handle(const QKeyEvent& event) {
    if (m_success) {
        return false;
    }
    const auto target = GlobalHotkeys::getShortcut(m_name);
    if (!target) {
        return false;
    }
    const qint64 flags = eventFlags(event);
    const auto pressed = GlobalHotkeys::Shortcut::fromKeyEvent(event);
    const QString label = symbolString(flags) + (pressed ? keyString(pressed->carbonKeyCode) : QString());
    if (label != m_liveLabel) {
        m_liveLabel = label;
        m_box->labelChanged();
    }
    refresh();
    if (flags != GlobalHotkeys::normalizeModifiers(target->carbonModifiers)) {
        return false;
    }
    if (event.type() != QEvent::KeyPress || !pressed || pressed->carbonKeyCode != target->carbonKeyCode) {
        return false;
    }
    m_success = true;
    endPractice();
    // A copy of the action, not the view: it runs even when the view has gone meanwhile.
    QTimer::singleShot(successDelayMs, qApp, [onSuccess = m_onSuccess] {
        if (onSuccess) {
            onSuccess();
        }
    });
    refresh();
    return true;
}

void LiveHotkeyPractice::refresh() {
    const bool hasTarget = GlobalHotkeys::getShortcut(m_name).has_value();
    m_caption->setText(captionText());
    m_caption->setFont(QvFont::qvText(12, hasTarget ? QFont::Medium : QFont::Normal));
    m_caption->setToken(!hasTarget ? QvColor::qvTextTertiary()
                                   : (m_success ? QvColor::qvSageEnabled() : QvColor::qvTextSecondary()));
    m_box->setVisible(hasTarget);
    m_box->setAccessibleName(boxText());
    m_box->update();
}

void LiveHotkeyPractice::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    startPractice();
}

void LiveHotkeyPractice::hideEvent(QHideEvent* event) {
    endPractice();
    QWidget::hideEvent(event);
}

void LiveHotkeyPractice::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        refresh();
    }
    QWidget::changeEvent(event);
}
