#include "ui/quickadd/QuickAddView.h"

#include "core/AppLanguage.h"
#include "core/SettingsKeys.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "theme/ThemeStore.h"
#include "ui/kit/KeyPress.h"
#include "ui/kit/PressableButton.h"
#include "ui/kit/TimerPreparationModel.h"
#include "ui/kit/TimerPreparationView.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/quickadd/QuickAddViewModel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A symbol drawn in a colour the view chooses at each paint.
class Glyph : public QWidget {
public:
    Glyph(QString symbol, double side, std::function<QColor()> color, QWidget* parent)
        : QWidget(parent), m_symbol(std::move(symbol)), m_color(std::move(color)) {
        setFixedSize(int(std::ceil(side)), int(std::ceil(side)));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        SymbolIcon::paint(painter, QRectF(rect()), m_symbol, m_color());
    }

private:
    QString m_symbol;
    std::function<QColor()> m_color;
};

} // namespace

// The field's rounded ground: its outline says whether the field has the keyboard or refused the text.
class QuickAddEntryBox : public QWidget {
public:
    QuickAddEntryBox(const QuickAddView& view, QWidget* parent) : QWidget(parent), m_view(view) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const int line = m_view.fieldOutlineWidth();
        const QRectF shape = QRectF(rect()).adjusted(line / 2.0, line / 2.0, -line / 2.0, -line / 2.0);
        const QPainterPath path = QvSurface::continuousRoundedRect(shape, 8);
        painter.fillPath(path, QvColor::qvBgSurface().resolve(ViewEnvironment::colorScheme(this)));
        painter.setPen(QPen(m_view.fieldOutlineColor(), line));
        painter.drawPath(path);
    }

private:
    const QuickAddView& m_view;
};

// One minute chip: the accent-coloured text on the chip surface, drawn hovered while the pointer is over
// it. The keyboard reaches it with Tab; a click never takes the focus.
class QuickAddChip : public PressableButton {
public:
    QuickAddChip(std::function<QColor()> accent, QWidget* parent)
        : PressableButton(0.96, parent), m_accent(std::move(accent)) {
        setFocusPolicy(Qt::TabFocus);
        setFont(QvFont::qvText(13, QFont::DemiBold));
        setAttribute(Qt::WA_Hover);
    }

    bool isHovered() const { return m_hovered; }

    QSize sizeHint() const override {
        const double textWidth = QFontMetricsF(font()).horizontalAdvance(text());
        return {int(std::ceil(textWidth + 2 * 16)) + 4, 44 + 4};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintFace(QPainter& painter) override {
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const QRectF shape = QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5);
        QvSurface::paintBody(painter, shape, QvSurface::qvChip(m_hovered, scheme));
        painter.setPen(m_accent());
        painter.setFont(font());
        painter.drawText(QRectF(rect()), Qt::AlignCenter, text());
        if (hasFocus()) {
            QColor ring = QvColor::qvInkAction().resolve(scheme);
            ring.setAlphaF(0.45f);
            painter.setPen(QPen(ring, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 10));
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
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            // A held Return acts once, on its first press.
            if (!event->isAutoRepeat()) {
                click();
            }
            return;
        }
        PressableButton::keyPressEvent(event);
    }

private:
    std::function<QColor()> m_accent;
    bool m_hovered = false;
};

QuickAddView::QuickAddView(TimerManager& timerManager, const Preferences& preferences,
                           const std::optional<TimerStartRequest>& initialRequest,
                           std::function<void()> onClose, Clock clock, QWidget* parent)
    : QWidget(parent),
      m_model(new QuickAddViewModel(timerManager, initialRequest, std::move(onClose), clock, this)),
      m_preferences(preferences), m_clock(clock) {
    setObjectName(QStringLiteral("quorvane.quickAddPanel.view"));
    setAutoFillBackground(false);
    // The view takes clicks on its ground, so Escape still reaches it when nothing inside has the keyboard.
    setFocusPolicy(Qt::ClickFocus);

    m_entry = new QWidget(this);
    m_entry->setFixedSize(viewWidth, entryHeight);
    auto* column = new QVBoxLayout(m_entry);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(16);
    // The rows sit in the middle of the step's height, as the start card does on the other step.
    column->addStretch(1);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(new Glyph(
        QStringLiteral("timer"), 15, [this] { return accent(); }, m_entry));
    m_heading = new TokenLabel(QvColor::qvInkPrimary(), m_entry);
    m_heading->setFont(QvFont::qvText(18, QFont::DemiBold));
    header->addWidget(m_heading);
    header->addStretch(1);
    m_escHint = new TokenLabel(QvColor::qvInkMuted(), m_entry);
    m_escHint->setFont(QvFont::qvText(12, QFont::Normal));
    header->addWidget(m_escHint);
    column->addLayout(header);

    m_entryBox = new QuickAddEntryBox(*this, m_entry);
    m_entryBox->setMinimumHeight(44);
    auto* boxRow = new QHBoxLayout(m_entryBox);
    boxRow->setContentsMargins(16, 10, 16, 10);
    boxRow->setSpacing(8);
    m_field = new QLineEdit(m_entryBox);
    m_field->setObjectName(QStringLiteral("quorvane.quickAddPanel.input"));
    m_field->setFrame(false);
    m_field->setFont(QvFont::qvDisplay(22, QFont::Bold));
    {
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        QPalette palette = m_field->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        palette.setColor(QPalette::Text, QvColor::qvInkPrimary().resolve(scheme));
        palette.setColor(QPalette::PlaceholderText, QvColor::qvInkMuted().resolve(scheme));
        m_field->setPalette(palette);
    }
    m_field->installEventFilter(this);
    // The hint is drawn smaller than the typed text, so all of it fits the field.
    auto* fieldCell = new QGridLayout;
    fieldCell->setContentsMargins(0, 0, 0, 0);
    fieldCell->addWidget(m_field, 0, 0);
    m_placeholder = new TokenLabel(QvColor::qvInkMuted(), m_entryBox);
    m_placeholder->setObjectName(QStringLiteral("quorvane.quickAddPanel.placeholder"));
    m_placeholder->setFont(QvFont::qvDisplay(15, QFont::DemiBold));
    m_placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_placeholder->setContentsMargins(3, 0, 0, 0);
    fieldCell->addWidget(m_placeholder, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
    boxRow->addLayout(fieldCell, 1);
    boxRow->addWidget(new Glyph(
        QStringLiteral("return"), 12, [this] { return returnGlyphColor(); }, m_entryBox));
    column->addWidget(m_entryBox);

    m_helpLine = new TokenLabel(QvColor::qvInkMuted(), m_entry);
    m_helpLine->setObjectName(QStringLiteral("quorvane.quickAddPanel.message"));
    m_helpLine->setWordWrap(true);
    column->addWidget(m_helpLine);

    auto* chips = new QHBoxLayout;
    // 8 px between the chip shapes; each chip keeps 2 px around its shape for the focus ring.
    chips->setSpacing(4);
    for (const int minutes : QuickAddViewModel::chipMinutes()) {
        auto* chip = new QuickAddChip([this] { return accent(); }, m_entry);
        chip->setObjectName(QStringLiteral("quorvane.quickAddPanel.chip.%1").arg(minutes));
        connect(chip, &QAbstractButton::clicked, m_model, [this, minutes] { m_model->chooseChip(minutes); });
        chips->addWidget(chip);
        m_chips << chip;
    }
    chips->addStretch(1);
    column->addLayout(chips);
    column->addStretch(1);

    connect(m_field, &QLineEdit::textChanged, m_model, &QuickAddViewModel::setInput);
    connect(m_field, &QLineEdit::returnPressed, m_model, &QuickAddViewModel::submit);
    connect(m_model, &QuickAddViewModel::inputChanged, this, [this] {
        if (m_field->text() != m_model->input()) {
            m_field->setText(m_model->input());
        }
        m_placeholder->setVisible(m_model->input().isEmpty());
        update();
        m_entryBox->update();
    });
    connect(m_model, &QuickAddViewModel::errorChanged, this, &QuickAddView::syncError);
    connect(m_model, &QuickAddViewModel::pendingRequestChanged, this, &QuickAddView::syncStep);

    // Times inside follow the in-app language, not the system's: anything but "en" is Japanese.
    const auto applyLocale = [this] {
        const AppLanguage language =
            appLanguageFromRaw(SettingsKeys::appLanguage.read(m_preferences)).value_or(AppLanguage::japanese);
        setLocale(::locale(language));
    };
    applyLocale();
    connect(&m_preferences, &Preferences::changed, this, [applyLocale](const QString& key) {
        if (key == SettingsKeys::appLanguage.key) {
            applyLocale();
        }
    });

    retranslate();
    syncError();
    syncStep();
}

QColor QuickAddView::accent() const {
    return ThemeStore::resolveAccentColor(m_preferences);
}

QColor QuickAddView::fieldOutlineColor() const {
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    if (m_model->hasError()) {
        return QvColor::qvDestructive().resolve(scheme);
    }
    return m_field->hasFocus() ? accent() : QvColor::qvBorder().resolve(scheme);
}

int QuickAddView::fieldOutlineWidth() const {
    return (m_model->hasError() || m_field->hasFocus()) ? 2 : 1;
}

QColor QuickAddView::returnGlyphColor() const {
    // Any character counts, white space included: the glyph says Return will be read.
    return m_model->input().isEmpty() ? QvColor::qvInkMuted().resolve(ViewEnvironment::colorScheme(this))
                                      : accent();
}

void QuickAddView::retranslate() {
    m_heading->setText(tr("Add a timer"));
    m_escHint->setText(tr("esc to close"));
    m_placeholder->setText(tr("e.g. 25 ・ 1h30m ・ 1d18h ・ 12:30"));
    for (qsizetype i = 0; i < m_chips.size(); ++i) {
        m_chips[i]->setText(tr("%1 min").arg(QuickAddViewModel::chipMinutes().at(i)));
        m_chips[i]->updateGeometry();
    }
    syncError();
}

void QuickAddView::syncError() {
    if (const auto message = m_model->errorMessage()) {
        m_helpLine->setText(*message);
        m_helpLine->setFont(QvFont::qvText(13, QFont::Medium));
        m_helpLine->setToken(QvColor::qvDestructive());
    } else {
        m_helpLine->setText(tr("Minutes · \"1h30m\" · \"1d18h\" · times like \"12:30\" or \"9pm\""));
        m_helpLine->setFont(QvFont::qvText(12, QFont::Normal));
        m_helpLine->setToken(QvColor::qvInkMuted());
    }
    m_entryBox->update();
}

void QuickAddView::syncStep() {
    const auto& request = m_model->pendingRequest();
    if (request && m_card && m_card->model().request().id() == request->id()) {
        return;
    }
    if (m_card) {
        m_card->hide();
        m_card->deleteLater();
        m_card = nullptr;
    }
    if (!request) {
        m_entry->show();
        setFixedSize(viewWidth, entryHeight);
        emit sizeChanged();
        if (m_shownOnce) {
            m_field->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    // A fresh card for every request: fresh edits, no error, Start focused.
    TimerPreparationModel::Actions actions;
    actions.onStart = [this](const TimerStartRequest& r) { return m_model->confirmPreparation(r); };
    actions.onQueue = [this](const TimerStartRequest& r) { return m_model->queuePreparation(r); };
    actions.onCancel = [this] { m_model->cancelPreparation(); };
    auto* cardModel = new TimerPreparationModel(*request, true, std::move(actions), m_preferences, m_clock);
    m_card = new TimerPreparationView(cardModel, this);
    m_card->installEventFilter(this);
    m_entry->hide();
    placeCard();
    m_card->show();
    m_card->focusStart();
}

void QuickAddView::placeCard() {
    if (!m_card) {
        return;
    }
    m_card->adjustSize();
    const QRect shape = m_card->cardRect();
    const int height = std::max(entryHeight, shape.height() + 2 * cardMargin);
    // The card's shape centred; its shadow may reach past the sides, where the panel ends.
    m_card->move((viewWidth - shape.width()) / 2 - shape.x(), (height - shape.height()) / 2 - shape.y());
    if (size() != QSize(viewWidth, height)) {
        setFixedSize(viewWidth, height);
        emit sizeChanged();
    }
}

bool QuickAddView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_card && event->type() == QEvent::Resize) {
        // A refused start adds the card's error line: the view follows the card's new height.
        placeCard();
    } else if (watched == m_field &&
               (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        m_entryBox->update();
    }
    return QWidget::eventFilter(watched, event);
}

void QuickAddView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QvColor::qvBgPrimary().resolve(ViewEnvironment::colorScheme(this)));
}

void QuickAddView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shownOnce) {
        return;
    }
    m_shownOnce = true;
    // Once the window is up and active, so the focus is not lost to its activation.
    QTimer::singleShot(focusDelayMs, this, [this] {
        if (!m_card) {
            m_field->setFocus(Qt::OtherFocusReason);
        }
    });
}

void QuickAddView::keyPressEvent(QKeyEvent* event) {
    if (KeyPress::isPlainEscape(*event)) {
        m_model->escape();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void QuickAddView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
