#include "ui/updates/UpdateCheckWindow.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/ThemeStore.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/KeyPress.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/updates/UpdateCheckModel.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

constexpr int kMarginX = 24;
constexpr int kIconSide = 40;
constexpr int kIconGap = 14;
constexpr int kTextWidth = UpdateCheckWindow::windowWidth - 2 * kMarginX - kIconSide - kIconGap;

// The colour at `opacity` over the light ground, as one opaque colour (a button look takes no opacity).
QColor overWhite(const QColor& color, double opacity) {
    const auto mix = [opacity](int channel) { return qRound(255 - opacity * (255 - channel)); };
    return QColor(mix(color.red()), mix(color.green()), mix(color.blue()));
}

// The settings' two button looks: filled with the accent, and the accent's tint with its outline.
LabelButton::Look filledLook(const QColor& accent) {
    LabelButton::Look look(QvColor::fixed(QvColor::toHex(accent)), QvColor::qvOnAccent(),
                           QvFont::qvText(14, QFont::DemiBold));
    look.cornerRadius = 8;
    look.horizontalPadding = 16;
    return look;
}

LabelButton::Look outlinedLook(const QColor& accent) {
    LabelButton::Look look(QvColor::fixed(QvColor::toHex(overWhite(accent, 0.1))),
                           QvColor::fixed(QvColor::toHex(accent)), QvFont::qvText(13, QFont::Medium));
    look.outline = QvColor::fixed(QvColor::toHex(overWhite(accent, 0.35)));
    look.cornerRadius = 8;
    look.horizontalPadding = 16;
    return look;
}

} // namespace

UpdateCheckWindow::UpdateCheckWindow(UpdateCheckModel& model, const ThemeStore& theme, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_model(model), m_theme(theme) {
    setObjectName(QStringLiteral("updates.window"));
    AccessibleTraits::setRole(this, QAccessible::Dialog);
    ViewEnvironment::setColorScheme(this, ColorScheme::light);
    QPalette background = palette();
    background.setColor(QPalette::Window, QvColor::qvBgPrimary().resolve(ColorScheme::light));
    setPalette(background);
    setAutoFillBackground(true);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kMarginX, 22, kMarginX, 18);
    column->setSpacing(18);
    // Sized by its content: the message may take one line or three.
    column->setSizeConstraint(QLayout::SetFixedSize);

    auto* top = new QHBoxLayout;
    top->setSpacing(kIconGap);
    m_icon = new QLabel(this);
    m_icon->setFixedSize(kIconSide, kIconSide);
    AccessibleTraits::setHidden(m_icon);
    top->addWidget(m_icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    auto* heading = new TokenLabel(QvColor::qvInkPrimary(), this);
    heading->setObjectName(QStringLiteral("updates.heading"));
    heading->setFont(QvFont::qvText(15, QFont::DemiBold));
    heading->setWordWrap(true);
    heading->setFixedWidth(kTextWidth);
    AccessibleTraits::setRole(heading, QAccessible::Heading);
    m_heading = heading;
    auto* message = new TokenLabel(QvColor::qvInkSecondary(), this);
    message->setObjectName(QStringLiteral("updates.message"));
    message->setFont(QvFont::qvText(13, QFont::Normal));
    message->setWordWrap(true);
    message->setFixedWidth(kTextWidth);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message = message;
    texts->addWidget(heading);
    texts->addWidget(message);
    top->addLayout(texts);
    column->addLayout(top);

    const QColor accent = m_theme.activeAccentColor();
    m_close = new LabelButton(0.96, filledLook(accent), this);
    m_close->setObjectName(QStringLiteral("updates.close"));
    m_download = new LabelButton(0.96, filledLook(accent), this);
    m_download->setObjectName(QStringLiteral("updates.download"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8 - 2 * LabelButton::focusRingRoom);
    buttons->addStretch(1);
    for (LabelButton* button : {m_close, m_download}) {
        button->setFocusPolicy(Qt::StrongFocus);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);

    connect(m_close, &QAbstractButton::clicked, &m_model, &UpdateCheckModel::dismiss);
    connect(m_download, &QAbstractButton::clicked, &m_model, &UpdateCheckModel::download);
    connect(&m_model, &UpdateCheckModel::changed, this, &UpdateCheckWindow::refresh);
    connect(&m_model, &UpdateCheckModel::dismissed, this, &QWidget::hide);
    connect(&m_theme, &ThemeStore::changed, this, &UpdateCheckWindow::followTheme);
    refresh();
}

LabelButton* UpdateCheckWindow::mainButton() const {
    return m_model.offersDownload() ? m_download : m_close;
}

void UpdateCheckWindow::present(bool activate) {
    // A window found by an automatic check shows up without taking the keyboard from what the user types.
    setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    show();
    raise();
    if (activate) {
        activateWindow();
        mainButton()->setFocus(Qt::OtherFocusReason);
    }
}

void UpdateCheckWindow::refresh() {
    setWindowTitle(m_model.windowTitle());
    const QIcon icon = windowIcon();
    m_icon->setPixmap(icon.isNull() ? QPixmap()
                                    : icon.pixmap(QSize(kIconSide, kIconSide), devicePixelRatioF()));
    m_heading->setText(m_model.heading());
    m_message->setText(m_model.message());
    m_message->setVisible(!m_model.message().isEmpty());
    m_download->setText(m_model.downloadText());
    m_close->setText(m_model.closeText());
    m_download->setVisible(m_model.offersDownload());
    // What a screen reader says with the focused button: the answer itself.
    const QString answer = m_model.spokenAnswer();
    setAccessibleDescription(answer);
    for (LabelButton* button : {m_close, m_download}) {
        button->setAccessibleDescription(answer);
    }
    followTheme();
    if (isVisible() && isActiveWindow() && !mainButton()->hasFocus()) {
        mainButton()->setFocus(Qt::OtherFocusReason);
    }
}

void UpdateCheckWindow::followTheme() {
    const QColor accent = m_theme.activeAccentColor();
    m_download->setLook(filledLook(accent));
    // Close is the main button unless there is something to download.
    m_close->setLook(m_model.offersDownload() ? outlinedLook(accent) : filledLook(accent));
}

void UpdateCheckWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        refresh();
    }
    QWidget::changeEvent(event);
}

void UpdateCheckWindow::keyPressEvent(QKeyEvent* event) {
    if (KeyPress::isPlainEscape(*event)) {
        m_model.dismiss();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!event->isAutoRepeat()) {
            auto* focused = qobject_cast<LabelButton*>(focusWidget());
            (focused == m_close || focused == m_download ? focused : mainButton())->click();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void UpdateCheckWindow::closeEvent(QCloseEvent* event) {
    // The window's close box: the same as its Close button.
    m_model.dismiss();
    QWidget::closeEvent(event);
}
