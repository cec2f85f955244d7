#include "ui/kit/TimerPreparationView.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/QvText.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/MinuteDialView.h"
#include "ui/kit/TabularTokenLabel.h"
#include "ui/kit/TimerPreparationModel.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr double kLengthFontSize = 42;
constexpr double kLengthMinimumScale = 0.72;
constexpr double kReadoutSpacing = 6;
constexpr double kReadoutPadding = 20;
constexpr int kFieldHeight = 34;

TokenLabel* makeLabel(const QvColor& token, double size, QFont::Weight weight, QWidget* parent) {
    auto* label = new TokenLabel(token, parent);
    label->setFont(QvFont::qvText(size, weight));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

// The length and "READY" over the still dial; the length shrinks (to 72 % at most) to fit one line.
class DialReadout : public QWidget {
public:
    explicit DialReadout(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    void setLength(const QString& text) {
        if (text != m_length) {
            m_length = text;
            update();
        }
    }
    const QString& length() const { return m_length; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const double room = width() - 2 * kReadoutPadding;
        QFont lengthFont = QvFont::qvDisplay(kLengthFontSize, QFont::Medium);
        const double natural = QvText::tabularWidth(lengthFont, m_length);
        if (natural > room) {
            const double scale = std::max(kLengthMinimumScale, room / natural);
            lengthFont.setPixelSize(std::max(1, int(kLengthFontSize * scale)));
        }
        const QFont readyFont = QvFont::qvText(11, QFont::DemiBold);
        const double lengthHeight = QFontMetricsF(lengthFont).height();
        const double readyHeight = QFontMetricsF(readyFont).height();
        const double top = (height() - (lengthHeight + kReadoutSpacing + readyHeight)) / 2;

        painter.setFont(lengthFont);
        painter.setPen(QvColor::qvTextPrimary().resolve(scheme));
        QvText::drawTabular(painter, QRectF(kReadoutPadding, top, room, lengthHeight), Qt::AlignCenter,
                            m_length);
        painter.setFont(readyFont);
        painter.setPen(QvColor::qvTextSecondary().resolve(scheme));
        // Shown as written in every language.
        painter.drawText(QRectF(0, top + lengthHeight + kReadoutSpacing, width(), readyHeight),
                         Qt::AlignCenter, QStringLiteral("READY"));
    }

private:
    QString m_length;
};

namespace {

// The title field's rounded, outlined ground; the line edit inside draws no frame of its own.
class FieldGround : public QWidget {
public:
    explicit FieldGround(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const QPainterPath shape =
            QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12);
        painter.fillPath(shape, QvColor::qvSurface().resolve(scheme));
        painter.setPen(QPen(QvColor::qvStroke().resolve(scheme), 1));
        painter.drawPath(shape);
    }
};

} // namespace

SurfaceStyle TimerPreparationView::cardStyle(ColorScheme scheme) {
    SurfaceStyle style;
    style.cornerRadius = 12;
    style.fill = QvColor::qvCanvas().resolve(scheme);
    style.outline = QvColor::qvStroke().resolve(scheme);
    style.shadows = {SurfaceShadow{Qt::black, 0.08, 20, 8}};
    return style;
}

TimerPreparationView::TimerPreparationView(TimerPreparationModel* model, QWidget* parent)
    : QWidget(parent), m_model(model) {
    m_model->setParent(this);
    setObjectName(QStringLiteral("quorvane.preparation"));
    // A click on the card's own ground keeps the keyboard inside the card.
    setFocusPolicy(Qt::ClickFocus);

    const QMargins shadow = QvSurface::shadowMargins(cardStyle(ColorScheme::light));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(shadow + QMargins(padding, padding, padding, padding));
    column->setSpacing(16);
    column->setSizeConstraint(QLayout::SetFixedSize);

    m_heading = makeLabel(QvColor::qvTextPrimary(), 18, QFont::DemiBold, this);
    column->addWidget(m_heading);

    m_dialGroup = new QWidget(this);
    m_dialGroup->setObjectName(QStringLiteral("quorvane.preparation.dial"));
    m_dialGroup->setFixedSize(dialSize, dialSize);
    // One element, named and valued by the model: the dial and its texts are not read on their own.
    AccessibleTraits::setRole(m_dialGroup, QAccessible::StaticText);
    AccessibleTraits::readAsOne(m_dialGroup);
    m_dial = new MinuteDialView(dialSize, 0, 0, 1.0, m_dialGroup);
    m_dial->setOverflow(0); // a still dial never bumps
    m_readout = new DialReadout(m_dialGroup);
    m_readout->setGeometry(0, 0, dialSize, dialSize);
    column->addWidget(m_dialGroup, 0, Qt::AlignHCenter);

    auto* details = new QVBoxLayout;
    details->setSpacing(8);
    auto* field = new FieldGround(this);
    field->setFixedHeight(kFieldHeight);
    auto* fieldLayout = new QHBoxLayout(field);
    fieldLayout->setContentsMargins(10, 0, 10, 0);
    m_titleField = new QLineEdit(field);
    m_titleField->setObjectName(QStringLiteral("quorvane.preparation.title"));
    m_titleField->setFrame(false);
    m_titleField->setAlignment(Qt::AlignCenter);
    m_titleField->setFont(QvFont::qvText(13, QFont::DemiBold));
    {
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        QPalette palette = m_titleField->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        palette.setColor(QPalette::Text, QvColor::qvTextPrimary().resolve(scheme));
        palette.setColor(QPalette::PlaceholderText, QvColor::qvTextTertiary().resolve(scheme));
        m_titleField->setPalette(palette);
    }
    fieldLayout->addWidget(m_titleField);
    details->addWidget(field);

    m_adjustRow = new QWidget(this);
    auto* adjustLayout = new QHBoxLayout(m_adjustRow);
    adjustLayout->setContentsMargins(0, 0, 0, 0);
    // 8 px between the shapes: the buttons keep room for their focus rings around them.
    adjustLayout->setSpacing(8 - 2 * LabelButton::focusRingRoom);
    const auto adjustLook = [] {
        LabelButton::Look look(QvColor::qvSurfaceMuted(), QvColor::qvTextSecondary(),
                               QvFont::qvText(11, QFont::DemiBold));
        look.cornerRadius = 22; // a capsule at the 44 px height
        look.horizontalPadding = 10;
        return look;
    };
    m_minus = new LabelButton(1.0, adjustLook(), m_adjustRow);
    m_minus->setObjectName(QStringLiteral("quorvane.preparation.minus5"));
    m_minus->setText(TimerPreparationModel::adjustmentFace(-TimerPreparationModel::adjustmentStep));
    m_plus = new LabelButton(1.0, adjustLook(), m_adjustRow);
    m_plus->setObjectName(QStringLiteral("quorvane.preparation.plus5"));
    m_plus->setText(TimerPreparationModel::adjustmentFace(TimerPreparationModel::adjustmentStep));
    adjustLayout->addStretch();
    adjustLayout->addWidget(m_minus);
    adjustLayout->addWidget(m_plus);
    adjustLayout->addStretch();
    details->addWidget(m_adjustRow);

    // The end time's digits keep one width, so the line holds still as the minute turns.
    m_endLine = new TabularTokenLabel(QvColor::qvTextSecondary(), this);
    m_endLine->setFont(QvFont::qvText(11, QFont::Normal));
    m_endLine->setAlignment(Qt::AlignCenter);
    m_endLine->setObjectName(QStringLiteral("quorvane.preparation.endTime"));
    details->addWidget(m_endLine);
    column->addLayout(details);

    m_error = makeLabel(QvColor::qvDanger(), 11, QFont::Medium, this);
    m_error->setObjectName(QStringLiteral("quorvane.preparation.error"));
    m_error->setWordWrap(true);
    column->addWidget(m_error);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(8 - 2 * LabelButton::focusRingRoom);
    const QFont actionFont = QvFont::qvText(13, QFont::DemiBold);
    LabelButton::Look backLook(QvColor::qvSurface(), QvColor::qvTextPrimary(), actionFont);
    backLook.outline = QvColor::qvStroke();
    m_back = new LabelButton(1.0, backLook, this);
    m_back->setObjectName(QStringLiteral("quorvane.preparation.back"));
    m_queue = new LabelButton(
        1.0, LabelButton::Look(QvColor::qvSurfaceMuted(), QvColor::qvTextPrimary(), actionFont), this);
    m_queue->setObjectName(QStringLiteral("quorvane.preparation.queue"));
    LabelButton::Look startLook(QvColor::qvInkAction(), QvColor::qvInkOnAction(), actionFont);
    startLook.symbol = QStringLiteral("play.fill");
    m_start = new LabelButton(0.98, startLook, this);
    m_start->setObjectName(QStringLiteral("quorvane.preparation.start"));
    for (LabelButton* button : {m_back, m_queue, m_start}) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setMinimumWidth(0);
        actions->addWidget(button, 1);
    }
    column->addLayout(actions);
    // Every card is the same width; the buttons share it equally.
    const int innerWidth = cardWidth - 2 * padding;
    m_heading->setFixedWidth(innerWidth);
    field->setFixedWidth(innerWidth);
    m_adjustRow->setFixedWidth(innerWidth);
    m_endLine->setFixedWidth(innerWidth);
    m_error->setFixedWidth(innerWidth);

    connect(m_titleField, &QLineEdit::textEdited, m_model, &TimerPreparationModel::setTitle);
    connect(m_minus, &QAbstractButton::clicked, m_model,
            [this] { m_model->adjustDuration(-TimerPreparationModel::adjustmentStep); });
    connect(m_plus, &QAbstractButton::clicked, m_model,
            [this] { m_model->adjustDuration(TimerPreparationModel::adjustmentStep); });
    connect(m_back, &QAbstractButton::clicked, m_model, &TimerPreparationModel::cancel);
    connect(m_queue, &QAbstractButton::clicked, m_model, &TimerPreparationModel::queue);
    connect(m_start, &QAbstractButton::clicked, m_model, &TimerPreparationModel::start);
    connect(m_model, &TimerPreparationModel::draftChanged, this, &TimerPreparationView::refreshDraft);
    connect(m_model, &TimerPreparationModel::clockTextsChanged, this,
            &TimerPreparationView::refreshClockTexts);
    connect(m_model, &TimerPreparationModel::languageChanged, this,
            &TimerPreparationView::refreshLanguageTexts);
    connect(m_model, &TimerPreparationModel::errorMessageChanged, this, &TimerPreparationView::refreshError);

    m_titleField->setText(m_model->draftRequest().title());
    retranslate();
    refreshDraft();
    refreshError();
}

QString TimerPreparationView::shownLength() const {
    return m_readout->length();
}

QRect TimerPreparationView::cardRect() const {
    return rect().marginsRemoved(QvSurface::shadowMargins(cardStyle(ColorScheme::light)));
}

void TimerPreparationView::retranslate() {
    m_heading->setText(tr("Ready to start?"));
    m_titleField->setPlaceholderText(tr("What are you focusing on?"));
    m_back->setText(tr("Back"));
    m_queue->setText(tr("Queue"));
    m_start->setText(tr("Start"));
    refreshClockTexts();
}

void TimerPreparationView::refreshDraft() {
    if (m_titleField->text() != m_model->draftRequest().title()) {
        m_titleField->setText(m_model->draftRequest().title());
    }
    m_adjustRow->setVisible(m_model->showsAdjustment());
    m_queue->setVisible(m_model->showsQueue());
    refreshClockTexts();
    refreshLanguageTexts();
}

void TimerPreparationView::refreshClockTexts() {
    m_readout->setLength(m_model->lengthText());
    m_endLine->setText(m_model->endLine(locale()));
    AccessibleTraits::setValue(m_dialGroup, m_model->lengthText());
}

void TimerPreparationView::refreshLanguageTexts() {
    m_dialGroup->setAccessibleName(m_model->dialAccessibleLabel());
    m_minus->setAccessibleName(m_model->adjustmentAccessibleLabel(-TimerPreparationModel::adjustmentStep));
    m_plus->setAccessibleName(m_model->adjustmentAccessibleLabel(TimerPreparationModel::adjustmentStep));
}

void TimerPreparationView::refreshError() {
    const auto& message = m_model->errorMessage();
    m_error->setText(message.value_or(QString()));
    m_error->setVisible(message.has_value());
}

void TimerPreparationView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QvSurface::paint(painter, QRectF(cardRect()), cardStyle(ViewEnvironment::colorScheme(this)));
}

void TimerPreparationView::focusStart() {
    m_start->setFocus(Qt::OtherFocusReason);
}

void TimerPreparationView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_focusedOnce) {
        m_focusedOnce = true;
        focusStart();
    }
}

void TimerPreparationView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
        // Keys the title field and the buttons leave alone arrive here: Return starts from anywhere. A held
        // Return that opened the card keeps repeating into it; only a new press confirms.
        if (!event->isAutoRepeat()) {
            m_model->start();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TimerPreparationView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    } else if (event->type() == QEvent::LocaleChange) {
        refreshClockTexts();
    }
    QWidget::changeEvent(event);
}
