#include "ui/settings/SettingsPreviewStage.h"

#include "core/SettingsKeys.h"
#include "platform/Preferences.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/FloatingTimerSurface.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/MinuteDialView.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr double kProgress = 0.42;

// The label sample: the menu-bar content on a small rounded plate.
class MenuBarSample : public QWidget {
public:
    MenuBarSample(const SettingsPreviewStage& stage, QWidget* parent) : QWidget(parent), m_stage(stage) {
        setFixedHeight(28);
        AccessibleTraits::setRole(this, QAccessible::StaticText);
    }
    // The painted time is the sample's text for a screen reader; a sample of the icon alone is not read.
    void refreshAccessibleText() {
        QString shown;
        for (const MenuBarDisplayContent::Item& item : m_stage.menuBarContent().items()) {
            if (item.kind == MenuBarDisplayContent::Item::Kind::time) {
                shown = item.text;
            }
        }
        setAccessibleName(shown);
        AccessibleTraits::setHidden(this, shown.isEmpty());
    }
    QSize sizeHint() const override {
        const QSizeF content = m_stage.menuBarContent().size(QvFont::qvText(11, QFont::Medium));
        return {int(std::ceil(content.width())) + 20, 28};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const QPainterPath shape =
            QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12);
        p.fillPath(shape, QvColor::qvSurface().resolve(scheme));
        p.strokePath(shape, QPen(QvColor::qvStroke().resolve(scheme), 1));
        m_stage.menuBarContent().paint(p, QRectF(rect()).adjusted(10, 0, -10, 0),
                                       QvFont::qvText(11, QFont::Medium),
                                       QvColor::qvTextPrimary().resolve(scheme));
    }

private:
    const SettingsPreviewStage& m_stage;
};

LabelButton::Look stateLook(bool selected) {
    LabelButton::Look look(selected ? QvColor::qvInkAction() : QvColor::qvSurface(),
                           selected ? QvColor::qvInkOnAction() : QvColor::qvTextSecondary(),
                           QvFont::qvText(11, QFont::DemiBold));
    look.cornerRadius = 22; // a capsule
    look.horizontalPadding = 10;
    return look;
}

} // namespace

SettingsPreviewStage::SettingsPreviewStage(Preferences& preferences, const QDateTime& now, QWidget* parent)
    : QWidget(parent), m_preferences(preferences), m_previewEnd(now.addSecs(25 * 60)) {
    setObjectName(QStringLiteral("quorvane.settings.livePreview"));
    setMaximumWidth(maximumCardWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(12);

    auto* switchRow = new QHBoxLayout;
    switchRow->setSpacing(6);
    switchRow->addStretch(1);
    m_running = new LabelButton(0.97, stateLook(true), this);
    m_paused = new LabelButton(0.97, stateLook(false), this);
    for (LabelButton* button : {m_running, m_paused}) {
        button->setFocusPolicy(Qt::StrongFocus);
        switchRow->addWidget(button);
    }
    switchRow->addStretch(1);
    column->addLayout(switchRow);
    connect(m_running, &QAbstractButton::clicked, this, [this] { setPreviewState(PreviewState::running); });
    connect(m_paused, &QAbstractButton::clicked, this, [this] { setPreviewState(PreviewState::paused); });

    m_menuBar = new MenuBarSample(*this, this);
    m_menuBar->setObjectName(QStringLiteral("quorvane.settings.livePreview.menuBar"));
    column->addWidget(m_menuBar, 0, Qt::AlignHCenter);

    auto* pictures = new QHBoxLayout;
    pictures->setSpacing(16);
    pictures->addStretch(1);
    auto* dialBox = new QWidget(this);
    dialBox->setFixedSize(104, 104);
    m_dial = new MinuteDialView(104, 25, kProgress, 1.0, dialBox);
    m_dial->setOverflow(0);
    m_dial->setGeometry(0, 0, 104, 104);
    auto* dialTexts = new QVBoxLayout(dialBox);
    dialTexts->setContentsMargins(0, 0, 0, 0);
    dialTexts->setSpacing(4);
    dialTexts->addStretch(1);
    m_time = new TokenLabel(QvColor::qvTextPrimary(), dialBox);
    QFont timeFont = QvFont::qvText(24, QFont::Medium);
    timeFont.setStyleHint(QFont::Monospace, QFont::PreferDefault);
    m_time->setFont(timeFont);
    m_time->setText(QStringLiteral("25:00"));
    m_time->setAlignment(Qt::AlignCenter);
    m_caption = new TokenLabel(QvColor::qvTextSecondary(), dialBox);
    m_caption->setFont(QvFont::qvText(9, QFont::DemiBold));
    m_caption->setAlignment(Qt::AlignCenter);
    dialTexts->addWidget(m_time);
    dialTexts->addWidget(m_caption);
    dialTexts->addStretch(1);
    pictures->addWidget(dialBox);
    // The floating window's own card, so the picture is what the window will show; a picture only, so
    // the pointer passes through it and no press moves a window.
    m_floating = new FloatingTimerSurface(this);
    m_floating->setObjectName(QStringLiteral("quorvane.settings.livePreview.floating"));
    m_floating->setFixedSize(200, 54);
    m_floating->setAttribute(Qt::WA_TransparentForMouseEvents);
    pictures->addWidget(m_floating, 0, Qt::AlignVCenter);
    pictures->addStretch(1);
    column->addLayout(pictures);

    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        for (const QString& followed :
             {SettingsKeys::displayStyle.key, SettingsKeys::menuBarDisplayMode.key,
              SettingsKeys::menuBarIconStyle.key, SettingsKeys::floatingShowTaskName.key,
              SettingsKeys::appLanguage.key}) {
            if (key == followed) {
                refresh();
                return;
            }
        }
    });
    retranslate();
    refresh();
}

LabelButton* SettingsPreviewStage::stateButton(PreviewState state) const {
    return state == PreviewState::running ? m_running : m_paused;
}

void SettingsPreviewStage::setAccent(const QColor& accent) {
    if (accent != m_accent) {
        m_accent = accent;
        refresh();
    }
}

void SettingsPreviewStage::setPreviewState(PreviewState state) {
    m_state = state;
    refresh();
}

MenuBarDisplayContent SettingsPreviewStage::menuBarContent() const {
    const TimeDisplayStyle style = timeDisplayStyleFromRaw(SettingsKeys::displayStyle.read(m_preferences))
                                       .value_or(TimeDisplayStyle::japanese);
    MenuBarDisplayContent content;
    content.mode = menuBarDisplayModeFromRaw(SettingsKeys::menuBarDisplayMode.read(m_preferences))
                       .value_or(MenuBarDisplayMode::timeOnly);
    content.iconStyle = menuBarIconStyleFromRaw(SettingsKeys::menuBarIconStyle.read(m_preferences))
                            .value_or(MenuBarIconStyle::windup);
    content.isActive = true;
    content.isPaused = m_state == PreviewState::paused;
    content.timeText = until(style, m_previewEnd);
    return content;
}

QString SettingsPreviewStage::floatingLabel() const {
    if (!SettingsKeys::floatingShowTaskName.read(m_preferences)) {
        return {};
    }
    // Chosen from the stored language, like the rest of the sample, not looked up.
    return SettingsKeys::appLanguage.read(m_preferences) == QLatin1String("en")
               ? QStringLiteral("Deep work")
               : QStringLiteral("集中タイム");
}

QString SettingsPreviewStage::dialCaption() const {
    return m_caption->text();
}

void SettingsPreviewStage::refresh() {
    const bool running = m_state == PreviewState::running;
    m_running->setLook(stateLook(running));
    m_paused->setLook(stateLook(!running));
    m_running->setChecked(running);
    m_paused->setChecked(!running);
    m_dial->setState(25, kProgress, running ? 1.0 : 0.5);
    m_caption->setText(running ? QStringLiteral("FOCUS") : QStringLiteral("PAUSED"));
    m_menuBar->updateGeometry();
    m_menuBar->setFixedWidth(m_menuBar->sizeHint().width());
    m_menuBar->update();
    static_cast<MenuBarSample*>(m_menuBar)->refreshAccessibleText();
    FloatingTimerSurface::Values floating;
    floating.timeText = QStringLiteral("25:00");
    floating.label = floatingLabel();
    floating.isRunning = running;
    floating.isFinished = false;
    floating.progress = kProgress;
    floating.accent = m_accent;
    floating.showsClose = false;
    m_floating->setValues(floating);
}

void SettingsPreviewStage::retranslate() {
    m_running->setText(tr("Running"));
    m_paused->setText(tr("Paused"));
    m_running->updateGeometry();
    m_paused->updateGeometry();
}

void SettingsPreviewStage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void SettingsPreviewStage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12);
    p.fillPath(shape, QvColor::qvSurfaceRaised().resolve(scheme));
    p.strokePath(shape, QPen(QvColor::qvStroke().resolve(scheme), 1));
}
