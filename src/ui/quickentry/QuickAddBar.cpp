#include "ui/quickentry/QuickAddBar.h"

#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/KeyPress.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/PressableButton.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kCornerRadius = 12;
constexpr double kFocusRingOpacity = 0.45;
constexpr double kSubmitHoverScale = 1.03;

void paintFocusRing(QPainter& painter, const QPainterPath& shape, ColorScheme scheme) {
    QColor ring = QvColor::qvInkAction().resolve(scheme);
    ring.setAlphaF(float(kFocusRingOpacity));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ring, 2));
    painter.drawPath(shape);
}

void styleField(QLineEdit* field, const QFont& font) {
    field->setFrame(false);
    field->setFont(font);
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    const ColorScheme scheme = ViewEnvironment::colorScheme(field);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, QvColor::qvTextPrimary().resolve(scheme));
    palette.setColor(QPalette::PlaceholderText, QvColor::qvTextTertiary().resolve(scheme));
    field->setPalette(palette);
}

} // namespace

// A field's rounded ground with its outline; the line edit inside draws no frame of its own.
class QuickAddFieldGround : public QWidget {
public:
    QuickAddFieldGround(int horizontalPadding, QWidget* parent) : QWidget(parent) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(horizontalPadding, 0, horizontalPadding, 0);
    }
    void setField(QLineEdit* field) { layout()->addWidget(field); }
    void setStroke(const QvColor& color, double width) {
        m_stroke = color;
        m_strokeWidth = width;
        update();
    }
    QColor strokeColor() const { return m_stroke.resolve(ViewEnvironment::colorScheme(this)); }
    double strokeWidth() const { return m_strokeWidth; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const double inset = m_strokeWidth / 2;
        const QPainterPath shape = QvSurface::continuousRoundedRect(
            QRectF(rect()).adjusted(inset, inset, -inset, -inset), kCornerRadius);
        painter.fillPath(shape, QvColor::qvSurface().resolve(scheme));
        painter.setPen(QPen(m_stroke.resolve(scheme), m_strokeWidth));
        painter.drawPath(shape);
    }

private:
    QvColor m_stroke = QvColor::qvStroke();
    double m_strokeWidth = 1;
};

// The round arrow that reviews the typed time; it grows a little under the pointer.
class QuickAddRoundButton : public PressableButton {
public:
    explicit QuickAddRoundButton(QWidget* parent) : PressableButton(0.94, parent) {
        setFocusPolicy(Qt::TabFocus);
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(QuickAddBar::entryHeight, QuickAddBar::entryHeight);
    }

protected:
    void paintFace(QPainter& painter) override {
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const QPointF centre = QRectF(rect()).center();
        if (underMouse() && !ReduceMotion::enabled()) {
            painter.translate(centre);
            painter.scale(kSubmitHoverScale, kSubmitHoverScale);
            painter.translate(-centre);
        }
        const double r = QuickAddBar::entryHeight / 2.0 - 0.5;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QvColor::qvInkAction().resolve(scheme));
        painter.drawEllipse(centre, r, r);
        const double side = 13;
        SymbolIcon::paint(painter, QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side),
                          QStringLiteral("arrow.right"), QvColor::qvInkOnAction().resolve(scheme));
        if (hasFocus()) {
            QPainterPath ring;
            ring.addEllipse(centre, r - 1, r - 1);
            paintFocusRing(painter, ring, scheme);
        }
    }
    void enterEvent(QEnterEvent* event) override {
        PressableButton::enterEvent(event);
        update();
    }
    void leaveEvent(QEvent* event) override {
        PressableButton::leaveEvent(event);
        update();
    }
    void focusInEvent(QFocusEvent* event) override {
        PressableButton::focusInEvent(event);
        update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        PressableButton::focusOutEvent(event);
        update();
    }
};

// One symbol key: the character as written, on a small rounded tile that darkens under the pointer.
class QuickAddSymbolKey : public PressableButton {
public:
    QuickAddSymbolKey(const QString& key, QWidget* parent) : PressableButton(0.96, parent) {
        setText(key);
        setObjectName(QStringLiteral("quorvane.quickAdd.symbol.") + key);
        setFocusPolicy(Qt::TabFocus);
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(QuickAddBar::symbolKeySide, QuickAddBar::symbolKeySide);
    }
    bool isHovered() const { return m_hovered; }

protected:
    void paintFace(QPainter& painter) override {
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const QPainterPath shape =
            QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius);
        painter.fillPath(shape,
                         (m_hovered ? QvColor::qvSurfaceMuted() : QvColor::qvSurface()).resolve(scheme));
        painter.setPen(QPen(QvColor::qvStroke().resolve(scheme), 1));
        painter.drawPath(shape);
        QFont font = QvFont::qvText(11, QFont::DemiBold);
        font.setStyleHint(QFont::Monospace);
        font.setFamilies(QStringList{QStringLiteral("Noto Sans Mono"), QStringLiteral("DejaVu Sans Mono")} +
                         font.families());
        painter.setFont(font);
        painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
        painter.drawText(QRectF(rect()), Qt::AlignCenter, text());
        if (hasFocus()) {
            paintFocusRing(painter, shape, scheme);
        }
    }
    void enterEvent(QEnterEvent* event) override {
        PressableButton::enterEvent(event);
        m_hovered = true;
        update();
    }
    void leaveEvent(QEvent* event) override {
        PressableButton::leaveEvent(event);
        m_hovered = false;
        update();
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
    bool m_hovered = false;
};

QuickAddBar::QuickAddBar(QuickAddBarModel* model, bool showSymbolRow, FocusLost onFocusLost, QWidget* parent)
    : QWidget(parent), m_model(model), m_showSymbolRow(showSymbolRow), m_onFocusLost(std::move(onFocusLost)) {
    m_model->setParent(this);
    setObjectName(QStringLiteral("quorvane.quickAdd"));
    setFixedSize(barWidth, barHeight);
    setAttribute(Qt::WA_TranslucentBackground);

    m_inputGround = new QuickAddFieldGround(10, this);
    m_input = new QLineEdit(m_inputGround);
    m_input->setObjectName(QStringLiteral("quorvane.quickAdd.input"));
    styleField(m_input, QvFont::qvText(12, QFont::Normal));
    m_inputGround->setField(m_input);
    m_input->installEventFilter(this);
    // Giving the bar the keyboard gives it to the entry.
    setFocusProxy(m_input);

    m_submit = new QuickAddRoundButton(this);
    m_submit->setObjectName(QStringLiteral("quorvane.quickAdd.submit"));

    for (const QString& key : QuickAddBarModel::symbolKeys()) {
        auto* symbol = new QuickAddSymbolKey(key, this);
        connect(symbol, &QAbstractButton::clicked, this, [this, key] {
            m_model->appendSymbol(key);
            m_input->setFocus(Qt::OtherFocusReason);
        });
        m_symbolKeys << symbol;
    }

    m_presetGround = new QuickAddFieldGround(8, this);
    m_presetName = new QLineEdit(m_presetGround);
    m_presetName->setObjectName(QStringLiteral("quorvane.quickAdd.presetName"));
    styleField(m_presetName, QvFont::qvText(11, QFont::Normal));
    m_presetGround->setField(m_presetName);
    m_presetName->installEventFilter(this);

    LabelButton::Look saveLook(QvColor::qvSurfaceMuted(), QvColor::qvTextPrimary(),
                               QvFont::qvText(10, QFont::DemiBold));
    saveLook.horizontalPadding = 8;
    saveLook.minimumSize = QSize(0, presetControlHeight);
    m_savePreset = new LabelButton(0.96, saveLook, this);
    m_savePreset->setObjectName(QStringLiteral("quorvane.quickAdd.savePreset"));

    m_message = new TokenLabel(QvColor::qvDanger(), this);
    m_message->setObjectName(QStringLiteral("quorvane.quickAdd.message"));
    m_message->setFont(QvFont::qvText(messageFontSize, QFont::Normal));
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(m_input, &QLineEdit::textEdited, m_model, &QuickAddBarModel::setInput);
    connect(m_input, &QLineEdit::returnPressed, m_model, &QuickAddBarModel::submit);
    connect(m_submit, &QAbstractButton::clicked, m_model, &QuickAddBarModel::submit);
    connect(m_presetName, &QLineEdit::textEdited, m_model, &QuickAddBarModel::setPresetName);
    connect(m_presetName, &QLineEdit::returnPressed, m_model, &QuickAddBarModel::savePreset);
    connect(m_savePreset, &QAbstractButton::clicked, m_model, &QuickAddBarModel::savePreset);
    connect(m_model, &QuickAddBarModel::inputChanged, this, [this](const QString& text) {
        if (m_input->text() != text) {
            m_input->setText(text);
        }
    });
    connect(m_model, &QuickAddBarModel::presetNameChanged, this, [this](const QString& text) {
        if (m_presetName->text() != text) {
            m_presetName->setText(text);
        }
    });
    connect(m_model, &QuickAddBarModel::messageChanged, this, &QuickAddBar::refreshMessage);
    connect(m_model, &QuickAddBarModel::presetMinutesChanged, this, &QuickAddBar::refreshSaveControls);

    m_input->setText(m_model->input());
    m_presetName->setText(m_model->presetName());
    retranslate();
    refreshMessage();
    refreshSaveControls();
}

bool QuickAddBar::isTextField(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget);
}

void QuickAddBar::setShowSymbolRow(bool show) {
    if (show == m_showSymbolRow) {
        return;
    }
    m_showSymbolRow = show;
    relayout();
}

void QuickAddBar::retranslate() {
    m_input->setPlaceholderText(tr("25m · 1d18h · 12:30"));
    m_presetName->setPlaceholderText(tr("Preset name"));
    m_savePreset->setText(tr("+ Save as Preset"));
    m_submit->setAccessibleName(tr("Review timer"));
    for (QuickAddSymbolKey* key : std::as_const(m_symbolKeys)) {
        key->setAccessibleName(tr("Insert %1").arg(key->text()));
    }
    relayout();
}

void QuickAddBar::relayout() {
    const int inner = barWidth - 2 * padding;
    // 8 px between the field and the arrow.
    m_inputGround->setGeometry(padding, padding, inner - 8 - entryHeight, entryHeight);
    m_submit->move(barWidth - padding - entryHeight, padding);

    const int rowTop = padding + entryHeight + rowSpacing;
    const int keyTop = rowTop + (symbolRowHeight - symbolKeySide) / 2;
    for (qsizetype i = 0; i < m_symbolKeys.size(); ++i) {
        m_symbolKeys.at(i)->move(padding + int(i) * (symbolKeySide + rowSpacing), keyTop);
        m_symbolKeys.at(i)->setVisible(m_showSymbolRow);
    }
    // The save controls sit at the trailing edge; the button keeps its whole title.
    const int controlTop = rowTop + (symbolRowHeight - presetControlHeight) / 2;
    const int ring = LabelButton::focusRingRoom;
    const int saveWidth = m_savePreset->sizeHint().width() - 2 * ring;
    const int saveLeft = barWidth - padding - saveWidth;
    m_savePreset->setGeometry(saveLeft - ring, controlTop - ring, saveWidth + 2 * ring,
                              presetControlHeight + 2 * ring);
    m_presetGround->setGeometry(saveLeft - rowSpacing - presetFieldWidth, controlTop, presetFieldWidth,
                                presetControlHeight);

    // The line's 12 px slot is shorter than the text's own height: the label is as tall as the text, centred
    // on the slot, so descenders are not cut off.
    const int textHeight =
        int(std::ceil(QFontMetricsF(QvFont::qvText(messageFontSize, QFont::Normal)).height()));
    const int slotTop = barHeight - padding - messageHeight;
    m_message->setGeometry(padding, slotTop - (textHeight - messageHeight) / 2, inner, textHeight);
    refreshMessage();
}

void QuickAddBar::refreshMessage() {
    const auto& message = m_model->message();
    const QString text = message ? message->text : QString();
    m_message->setToken(message && message->kind == QuickAddBarModel::MessageKind::confirmation
                            ? QvColor::qvTextSecondary()
                            : QvColor::qvDanger());
    // One line, shrinking to fit, but never below 80 % of its size.
    QFont font = QvFont::qvText(messageFontSize, QFont::Normal);
    const double natural = QFontMetricsF(font).horizontalAdvance(text);
    if (natural > m_message->width() && natural > 0) {
        const int smallest = int(std::ceil(messageFontSize * messageMinimumScale));
        font.setPixelSize(
            std::max(smallest, int(std::floor(messageFontSize * m_message->width() / natural))));
    }
    m_message->setFont(font);
    // Still too wide at the smallest size: its end gives way to an ellipsis, and the whole text is read out.
    m_message->setText(QFontMetricsF(font).elidedText(text, Qt::ElideRight, m_message->width()));
    m_message->setAccessibleName(text);
    refreshStroke();
}

void QuickAddBar::refreshStroke() {
    const bool focused = m_input->hasFocus();
    const auto stroke = m_model->inputStroke(focused);
    const bool error = stroke == QuickAddBarModel::Stroke::danger;
    const QvColor& color = error                                        ? QvColor::qvDanger()
                           : stroke == QuickAddBarModel::Stroke::action ? QvColor::qvInkAction()
                                                                        : QvColor::qvStroke();
    m_inputGround->setStroke(color, focused || error ? 2 : 1);
}

void QuickAddBar::refreshSaveControls() {
    // They come and go with the typed duration; the typed name stays meanwhile.
    const bool shown = m_model->presetMinutes().has_value();
    m_presetGround->setVisible(shown);
    m_savePreset->setVisible(shown);
}

QColor QuickAddBar::inputStrokeColor() const {
    return m_inputGround->strokeColor();
}

double QuickAddBar::inputStrokeWidth() const {
    return m_inputGround->strokeWidth();
}

bool QuickAddBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_input || watched == m_presetName) {
        auto* field = static_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::KeyPress && KeyPress::isPlainEscape(*static_cast<QKeyEvent*>(event))) {
            // Escape lets the keyboard go; the root takes it back through the focus-lost call.
            field->clearFocus();
            return true;
        }
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            if (watched == m_input) {
                refreshStroke();
            }
        }
        if (event->type() == QEvent::FocusOut && m_onFocusLost) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // The window going inactive or a popup (the field's own menu) takes the keyboard only for a
            // while.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                // The application already names the widget that takes the keyboard (none after clearFocus).
                m_onFocusLost(QApplication::focusWidget());
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QuickAddBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius);
    painter.fillPath(shape, QvColor::qvSurfaceRaised().resolve(scheme));
    painter.setPen(QPen(QvColor::qvStroke().resolve(scheme), 1));
    painter.drawPath(shape);
}

void QuickAddBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
