#include "ui/presets/ShortcutBubble.h"

#include "core/TimerManager.h"
#include "hotkeys/PresetShortcutNaming.h"
#include "platform/JsonCodec.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/kit/GlobalHotkeysRecorder.h"
#include "ui/kit/HotkeyDirectory.h"
#include "ui/kit/KeyPress.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/presets/PresetsScreenModel.h"
#include "ui/presets/WrappingLabel.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

SurfaceStyle bubbleStyle(ColorScheme scheme) {
    SurfaceStyle style = QvSurface::qvCard(false, 12, scheme);
    return style;
}

} // namespace

ShortcutBubble::ShortcutBubble(PresetsScreenModel& model, const TimerPreset& preset, QWidget* parent)
    : QWidget(parent), m_model(model), m_preset(preset) {
    setObjectName(QStringLiteral("presetsScreen.row.shortcutPopover.") + JsonCodec::uuidText(preset.id));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    const QMargins shadow = QvSurface::shadowMargins(bubbleStyle(ColorScheme::light));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(shadow + QMargins(16, 16, 16 + arrowLength, 16));
    column->setSpacing(8);
    column->setSizeConstraint(QLayout::SetFixedSize);
    const int inner = bubbleWidth - 32;

    // A long name takes more lines, never more width: the bubble grows downwards to hold them.
    m_title = new WrappingLabel(QvColor::qvInkPrimary(), this);
    m_title->setObjectName(QStringLiteral("presetsScreen.row.shortcutPopover.title"));
    m_title->setFont(QvFont::qvText(13, QFont::DemiBold));
    m_title->setFixedWidth(inner);
    column->addWidget(m_title);
    m_explanation = new TokenLabel(QvColor::qvInkMuted(), this);
    m_explanation->setFont(QvFont::qvText(12, QFont::Normal));
    m_explanation->setWordWrap(true);
    m_explanation->setFixedWidth(inner);
    column->addWidget(m_explanation);

    const QUuid id = preset.id;
    m_recorder = new GlobalHotkeys::Recorder(
        PresetShortcutNaming::shortcutName(id),
        [model = &m_model, id](const std::optional<GlobalHotkeys::Shortcut>& shortcut) {
            model->shortcutRecorded(id, shortcut);
        },
        this);
    m_recorder->setObjectName(QStringLiteral("presetsScreen.row.shortcutRecorder.") +
                              JsonCodec::uuidText(id));
    m_recorder->setFixedWidth(inner);
    TimerManager* engine = &m_model.timerManager();
    m_recorder->setOtherHotkeys([engine] { return HotkeyDirectory::everyHotkey(engine->presets()); });
    column->addWidget(m_recorder);
    // A recording that ends lets go of the keyboard; the bubble takes it, so Escape still closes it.
    connect(m_recorder, &GlobalHotkeys::Recorder::recordingChanged, this, [this](bool recording) {
        if (!recording && isVisible() && QApplication::focusWidget() == nullptr) {
            setFocus(Qt::OtherFocusReason);
        }
    });
    retranslate();
}

void ShortcutBubble::placeBeside(const QRect& badge) {
    const QRect room = parentWidget()->rect().adjusted(4, 4, -4, -4);
    // A name too long for the room gives up its last lines rather than push the bubble off the popover.
    m_title->setMaximumHeight(QWIDGETSIZE_MAX);
    adjustSize();
    if (height() > room.height()) {
        m_title->setMaximumHeight(std::max(0, m_title->height() - (height() - room.height())));
        adjustSize();
    }
    const QMargins shadow = QvSurface::shadowMargins(bubbleStyle(ColorScheme::light));
    // The arrow's tip touches the badge's leading edge.
    int x = badge.left() - width() + shadow.right();
    x = std::max(room.left(), x);
    int y = badge.center().y() - height() / 2;
    y = std::clamp(y, room.top(), std::max(room.top(), room.bottom() - height()));
    move(x, y);
    m_arrowY = badge.center().y() - y;
    update();
}

void ShortcutBubble::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const SurfaceStyle style = bubbleStyle(ViewEnvironment::colorScheme(this));
    const QMargins shadow = QvSurface::shadowMargins(style);
    const QRectF body = QRectF(rect().marginsRemoved(shadow)).adjusted(0, 0, -arrowLength, 0);
    QvSurface::paint(painter, body, style);
    // The arrow, pointing right at the badge.
    const double tipY = std::clamp(double(m_arrowY), body.top() + 16, body.bottom() - 16);
    QPainterPath arrow;
    arrow.moveTo(body.right() - 1, tipY - arrowLength);
    arrow.lineTo(body.right() + arrowLength, tipY);
    arrow.lineTo(body.right() - 1, tipY + arrowLength);
    arrow.closeSubpath();
    painter.fillPath(arrow, style.fill);
    painter.setPen(QPen(style.outline, 1));
    painter.drawLine(QPointF(body.right(), tipY - arrowLength), QPointF(body.right() + arrowLength, tipY));
    painter.drawLine(QPointF(body.right() + arrowLength, tipY), QPointF(body.right(), tipY + arrowLength));
}

void ShortcutBubble::keyPressEvent(QKeyEvent* event) {
    if (KeyPress::isPlainEscape(*event)) {
        event->accept();
        emit closeRequested();
        return;
    }
    // Keys the recorder leaves alone go no further than the bubble.
    event->accept();
}

bool ShortcutBubble::focusNextPrevChild(bool next) {
    Q_UNUSED(next);
    // Two stops: the bubble itself, and its recorder.
    if (m_recorder->hasFocus()) {
        setFocus(Qt::TabFocusReason);
    } else {
        m_recorder->setFocus(Qt::TabFocusReason);
    }
    return true;
}

void ShortcutBubble::retranslate() {
    m_title->setText(tr("Key for %1").arg(m_preset.name));
    m_explanation->setText(tr("Press it to start this preset from anywhere."));
    setAccessibleName(m_title->text());
}

void ShortcutBubble::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
