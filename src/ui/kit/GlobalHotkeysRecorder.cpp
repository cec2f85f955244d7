#include "ui/kit/GlobalHotkeysRecorder.h"

#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/SystemShortcuts.h"
#include "platform/TarvolinTimerLogger.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AlertOverlay.h"
#include "ui/kit/HotkeyDirectory.h"
#include "ui/kit/ViewEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace GlobalHotkeys {

namespace {

const QString kContext = QStringLiteral("Recorder");

constexpr int kClearSide = 18;
constexpr int kClearInset = 6;
constexpr int kTextPadding = 10;

// The small round clear button inside the field; it never takes the keyboard.
class ClearButton : public QAbstractButton {
public:
    explicit ClearButton(QWidget* parent) : QAbstractButton(parent) {
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::ArrowCursor);
        setFixedSize(kClearSide, kClearSide);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        QColor disc = QvColor::qvTextTertiary().resolve(scheme);
        disc.setAlphaF(isDown() ? 0.9f : 0.6f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(disc);
        painter.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
        SymbolIcon::paint(painter, QRectF(rect()).adjusted(5, 5, -5, -5), QStringLiteral("xmark"),
                          QvColor::qvBgCard().resolve(scheme));
    }
};

bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

bool isFunctionKey(int key) {
    return key >= Qt::Key_F1 && key <= Qt::Key_F35;
}

// The four modifiers a shortcut can hold; the keypad and layout-group flags are no modifiers.
Qt::KeyboardModifiers shortcutModifiers(const QKeyEvent& event) {
    return event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
}

} // namespace

Recorder::Recorder(const Name& name, OnChange onChange, QWidget* parent)
    : QWidget(parent), m_name(name), m_onChange(std::move(onChange)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFont(QvFont::qvText(13, QFont::DemiBold));
    m_clearButton = new ClearButton(this);
    m_clearButton->setObjectName(QStringLiteral("recorder.clear"));
    connect(m_clearButton, &QAbstractButton::clicked, this, &Recorder::clear);
    connect(&notifier(), &HotkeyNotifier::shortcutByNameDidChange, this, [this](const Name& changed) {
        if (changed == m_name) {
            showStored();
        }
    });
    connect(&notifier(), &HotkeyNotifier::shortcutRefused, this, &Recorder::followRefusal);
    retranslate();
    showStored();
}

Recorder::~Recorder() {
    // Going away mid-recording must not leave the hotkeys off.
    endRecording();
}

void Recorder::setShortcutName(const Name& name) {
    const bool differs = name.rawValue() != m_name.rawValue();
    m_name = name;
    if (differs) {
        m_lastStored.reset();
        showStored();
    }
}

void Recorder::setOtherHotkeys(OtherHotkeys otherHotkeys) {
    m_otherHotkeys = std::move(otherHotkeys);
}

QString Recorder::placeholderText() const {
    return m_recording ? tr("Press Shortcut") : tr("Record Shortcut");
}

QAbstractButton* Recorder::clearButton() const {
    return m_clearButton;
}

QSize Recorder::sizeHint() const {
    const QFontMetricsF metrics(font());
    const double textWidth =
        std::max(metrics.horizontalAdvance(m_text), metrics.horizontalAdvance(placeholderText()));
    const int width = int(std::ceil(textWidth)) + 2 * (kTextPadding + kClearSide + kClearInset);
    return QSize(std::max(minimumWidth, width), fieldHeight);
}

QSize Recorder::minimumSizeHint() const {
    return QSize(minimumWidth, fieldHeight);
}

// ---- Recording ----

void Recorder::startRecording() {
    if (m_recording) {
        return;
    }
    m_recording = true;
    setPaused(true);
    m_hotkeysWereEnabled = isEnabled();
    GlobalHotkeys::setEnabled(false);
    qApp->installEventFilter(this);
    setAccessibleDescription(placeholderText());
    update();
    emit recordingChanged(true);
}

void Recorder::endRecording() {
    if (!m_recording) {
        return;
    }
    m_recording = false;
    qApp->removeEventFilter(this);
    setPaused(false);
    GlobalHotkeys::setEnabled(m_hotkeysWereEnabled);
    setAccessibleDescription(placeholderText());
    update();
    emit recordingChanged(false);
}

void Recorder::blur() {
    // The keyboard goes first: what ending the recording brings up (the desktop refusing a grab) must not
    // hand it back here.
    if (hasFocus()) {
        clearFocus();
    }
    endRecording();
}

void Recorder::focusAgain() {
    if (!isVisible()) {
        return;
    }
    setFocus(Qt::OtherFocusReason);
    startRecording();
}

void Recorder::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // The window coming back, or a popup closing, hands the keyboard back without the person asking to
    // record; a click, Tab or an explicit focus does.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        startRecording();
    }
    update();
}

void Recorder::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    endRecording();
    update();
}

void Recorder::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && hasFocus()) {
        startRecording();
    }
}

void Recorder::hideEvent(QHideEvent* event) {
    endRecording();
    QWidget::hideEvent(event);
}

void Recorder::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_recording) {
        blur();
    } else if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

bool Recorder::eventFilter(QObject* watched, QEvent* event) {
    // A click outside the field (beyond the slop) ends recording; the click still reaches its target.
    if (m_recording && event->type() == QEvent::MouseButtonPress) {
        const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        const QRect field =
            QRect(mapToGlobal(QPoint(0, 0)), size()).adjusted(-clickSlop, -clickSlop, clickSlop, clickSlop);
        if (!field.contains(global)) {
            blur();
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool Recorder::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // While recording, no shortcut of the window fires: the press is the recording.
        if (m_recording) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (m_recording) {
            if (capture(*key)) {
                return QWidget::event(event);
            }
            key->accept();
            return true;
        }
        if (hasFocus() &&
            (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            startRecording();
            key->accept();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

bool Recorder::capture(const QKeyEvent& event) {
    // A modifier going down is the start of a combination, and a held key's repeats add nothing.
    if (event.isAutoRepeat() || isModifierKey(event.key())) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = shortcutModifiers(event);
    if (modifiers == Qt::NoModifier) {
        switch (event.key()) {
        case Qt::Key_Tab:
            endRecording();
            return true;
        case Qt::Key_Escape:
            blur();
            return false;
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            clear();
            return false;
        default:
            break;
        }
    }
    // A plain key or Shift+key types text; only function keys may go without Ctrl, Alt or Super.
    if ((modifiers & ~Qt::ShiftModifier) == Qt::NoModifier && !isFunctionKey(event.key())) {
        refuse();
        return false;
    }
    const auto shortcut = Shortcut::fromKeyEvent(event);
    if (!shortcut) {
        refuse();
        return false;
    }
    const QPointer<Recorder> self(this);
    if (const auto holder = otherHotkeyHolding(*shortcut)) {
        blur();
        TT_LOG_INFO(kContext,
                    QStringLiteral("%1 is already the shortcut of %2").arg(shortcut->description(), *holder));
        AlertOverlay::Alert alert;
        alert.objectName = QStringLiteral("recorder.alert");
        alert.message = tr("This shortcut cannot be used because it is already used by “%1”.").arg(*holder);
        alert.buttons = {{tr("OK"), AlertOverlay::Role::primary, QStringLiteral("recorder.alert.ok")}};
        m_alert = AlertOverlay::present(this, alert, [self](int) {
            if (self) {
                self->focusAgain();
            }
        });
        return false;
    }
    if (isTakenBySystem(*shortcut)) {
        blur();
        AlertOverlay::Alert alert;
        alert.objectName = QStringLiteral("recorder.alert");
        alert.message = tr("This shortcut cannot be used because it is already used by the desktop.");
        alert.detail = tr("Most desktop shortcuts can be changed in your desktop's keyboard settings.");
        alert.buttons = {
            {tr("OK"), AlertOverlay::Role::primary, QStringLiteral("recorder.alert.ok")},
            {tr("Use Anyway"), AlertOverlay::Role::normal, QStringLiteral("recorder.alert.force")}};
        const Shortcut chosen = *shortcut;
        m_alert = AlertOverlay::present(this, alert, [self, chosen](int answer) {
            if (!self) {
                return;
            }
            self->focusAgain();
            if (answer == 1) {
                self->store(chosen);
            }
        });
        return false;
    }
    store(*shortcut);
    return false;
}

void Recorder::refuse() {
    QApplication::beep();
    emit refused();
}

void Recorder::store(const Shortcut& shortcut) {
    m_text = shortcut.description();
    m_lastStored = shortcut;
    refreshClearButton();
    setShortcut(shortcut, m_name);
    if (m_onChange) {
        m_onChange(shortcut);
    }
    blur();
}

void Recorder::clear() {
    if (m_text.isEmpty()) {
        return;
    }
    m_text.clear();
    m_lastStored.reset();
    setShortcut(std::nullopt, m_name);
    if (m_onChange) {
        m_onChange(std::nullopt);
    }
    refreshClearButton();
    update();
    if (!m_recording) {
        focusAgain();
    }
}

std::optional<QString> Recorder::otherHotkeyHolding(const Shortcut& shortcut) const {
    const QList<OtherHotkey> others = m_otherHotkeys ? m_otherHotkeys() : HotkeyDirectory::heldHotkeys();
    for (const OtherHotkey& other : others) {
        if (other.name == m_name) {
            continue;
        }
        if (getShortcut(other.name) == shortcut) {
            return other.title;
        }
    }
    return std::nullopt;
}

void Recorder::followRefusal(const Shortcut& shortcut, GrabFailure why) {
    // Only the recording made here is answered for, and only while it is still what the name holds.
    if (m_lastStored != shortcut || getShortcut(m_name) != shortcut || !isVisible()) {
        return;
    }
    const QString message = refusalMessage(shortcut, why);
    if (message.isEmpty()) {
        return;
    }
    m_lastStored.reset();
    AlertOverlay::Alert alert;
    alert.objectName = QStringLiteral("recorder.alert");
    alert.message = message;
    alert.buttons = {{tr("OK"), AlertOverlay::Role::primary, QStringLiteral("recorder.alert.ok")}};
    m_alert = AlertOverlay::present(this, alert, {});
}

// ---- Showing ----

void Recorder::showStored() {
    const auto shortcut = getShortcut(m_name);
    m_text = shortcut ? shortcut->description() : QString();
    setAccessibleName(m_text.isEmpty() ? tr("Keyboard shortcut") : m_text);
    refreshClearButton();
    updateGeometry();
    update();
}

void Recorder::refreshClearButton() {
    m_clearButton->setVisible(!m_text.isEmpty());
}

void Recorder::retranslate() {
    m_clearButton->setAccessibleName(tr("Clear shortcut"));
    setAccessibleName(m_text.isEmpty() ? tr("Keyboard shortcut") : m_text);
    setAccessibleDescription(placeholderText());
    updateGeometry();
    update();
}

void Recorder::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_clearButton->move(width() - kClearInset - kClearSide, (height() - kClearSide) / 2);
}

void Recorder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QRectF shape = QRectF(rect()).adjusted(1, 1, -1, -1);
    const QPainterPath path = QvSurface::continuousRoundedRect(shape, 8);
    painter.fillPath(path, QvColor::qvSurface().resolve(scheme));
    if (m_recording) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.6f);
        painter.setPen(QPen(ring, 2));
    } else {
        painter.setPen(QPen(QvColor::qvStroke().resolve(scheme), 1));
    }
    painter.drawPath(path);

    const QRectF textRect = QRectF(rect()).adjusted(kTextPadding + kClearSide + kClearInset, 0,
                                                    -(kTextPadding + kClearSide + kClearInset), 0);
    if (!m_text.isEmpty()) {
        painter.setFont(font());
        painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
        painter.drawText(textRect, Qt::AlignCenter, m_text);
    } else {
        painter.setFont(QvFont::qvText(13, QFont::Normal));
        painter.setPen(QvColor::qvTextTertiary().resolve(scheme));
        painter.drawText(textRect, Qt::AlignCenter, placeholderText());
    }
}

} // namespace GlobalHotkeys
