#include "ui/kit/AlertOverlay.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/KeyPress.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/SurfaceWidget.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

LabelButton::Look lookFor(AlertOverlay::Role role) {
    const QFont font = QvFont::qvText(13, QFont::DemiBold);
    switch (role) {
    case AlertOverlay::Role::primary:
        return LabelButton::Look(QvColor::qvInkAction(), QvColor::qvInkOnAction(), font);
    case AlertOverlay::Role::destructive:
        return LabelButton::Look(QvColor::qvDanger(), QvColor::qvOnAccent(), font);
    case AlertOverlay::Role::normal:
        break;
    }
    LabelButton::Look look(QvColor::qvSurface(), QvColor::qvTextPrimary(), font);
    look.outline = QvColor::qvStroke();
    return look;
}

} // namespace

AlertOverlay* AlertOverlay::present(QWidget* anchor, Alert alert, Answer onAnswer) {
    QWidget* window = anchor->window();
    auto* overlay = new AlertOverlay(window, std::move(alert), std::move(onAnswer));
    overlay->show();
    overlay->raise();
    if (!overlay->m_buttons.isEmpty()) {
        const int at = std::clamp(overlay->m_alert.focusedButton, 0, int(overlay->m_buttons.size()) - 1);
        overlay->m_buttons.at(at)->setFocus(Qt::OtherFocusReason);
    } else {
        overlay->setFocus(Qt::OtherFocusReason);
    }
    return overlay;
}

AlertOverlay::AlertOverlay(QWidget* window, Alert alert, Answer onAnswer)
    : QWidget(window), m_alert(std::move(alert)), m_onAnswer(std::move(onAnswer)),
      m_keeper(this, [this] { return QList<QWidget*>(m_buttons.cbegin(), m_buttons.cend()); }) {
    setObjectName(m_alert.objectName.isEmpty() ? QStringLiteral("alertOverlay") : m_alert.objectName);
    setFocusPolicy(Qt::StrongFocus);

    auto* card = new SurfaceWidget(SurfaceWidget::Kind::card, this);
    card->setObjectName(objectName() + QStringLiteral(".card"));
    card->setPadding(QMargins(20, 20, 20, 16));
    m_card = card;
    auto* column = new QVBoxLayout(card);
    column->setSpacing(8);
    column->setSizeConstraint(QLayout::SetFixedSize);

    auto* message = new TokenLabel(QvColor::qvInkPrimary(), card);
    message->setObjectName(objectName() + QStringLiteral(".message"));
    message->setFont(QvFont::qvText(14, QFont::DemiBold));
    message->setWordWrap(true);
    message->setText(m_alert.message);
    message->setFixedWidth(cardWidth - 40);
    column->addWidget(message);

    if (!m_alert.detail.isEmpty()) {
        auto* detail = new TokenLabel(QvColor::qvInkMuted(), card);
        detail->setObjectName(objectName() + QStringLiteral(".detail"));
        detail->setFont(QvFont::qvText(12, QFont::Normal));
        detail->setWordWrap(true);
        detail->setText(m_alert.detail);
        detail->setFixedWidth(cardWidth - 40);
        column->addWidget(detail);
    }
    column->addSpacing(8);

    auto* row = new QHBoxLayout;
    row->setSpacing(8 - 2 * LabelButton::focusRingRoom);
    row->addStretch();
    for (int index = 0; index < m_alert.buttons.size(); ++index) {
        const Button& spec = m_alert.buttons.at(index);
        LabelButton::Look look = lookFor(spec.role);
        look.cornerRadius = 8;
        look.minimumSize = QSize(64, 36);
        auto* button = new LabelButton(0.96, look, card);
        button->setText(spec.text);
        if (!spec.objectName.isEmpty()) {
            button->setObjectName(spec.objectName);
        }
        connect(button, &QAbstractButton::clicked, this, [this, index] { answer(index); });
        row->addWidget(button);
        m_buttons.append(button);
    }
    column->addLayout(row);

    window->installEventFilter(this);
    place();
}

void AlertOverlay::place() {
    setGeometry(parentWidget()->rect());
    m_card->adjustSize();
    const QSize size = m_card->sizeHint();
    m_card->setGeometry(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
}

bool AlertOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        place();
    }
    return QWidget::eventFilter(watched, event);
}

void AlertOverlay::answer(int buttonIndex) {
    if (m_answered) {
        return;
    }
    m_answered = true;
    parentWidget()->removeEventFilter(this);
    // Hiding gives the keyboard back first, so the answer may move it on again.
    hide();
    deleteLater();
    if (m_onAnswer) {
        const Answer onAnswer = std::move(m_onAnswer);
        onAnswer(buttonIndex);
    }
}

void AlertOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor dim = QvColor::qvInkPrimary().resolve(ViewEnvironment::colorScheme(this));
    dim.setAlphaF(float(dimOpacity));
    painter.fillRect(rect(), dim);
}

void AlertOverlay::mousePressEvent(QMouseEvent* event) {
    // The window behind is out of reach until the alert is answered.
    event->accept();
}

void AlertOverlay::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (KeyPress::isPlainEscape(*event)) {
        answer(m_alert.escapeAnswer);
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
               modifiers == Qt::NoModifier && !m_buttons.isEmpty()) {
        const qsizetype focused = m_buttons.indexOf(qobject_cast<LabelButton*>(focusWidget()));
        answer(int(focused >= 0 ? focused : std::clamp(m_alert.focusedButton, 0, int(m_buttons.size()) - 1)));
    }
    // Nothing reaches the window behind.
    event->accept();
}

bool AlertOverlay::focusNextPrevChild(bool next) {
    if (m_buttons.isEmpty()) {
        return true;
    }
    const qsizetype at = m_buttons.indexOf(qobject_cast<LabelButton*>(focusWidget()));
    const qsizetype count = m_buttons.size();
    const qsizetype target = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : -1) + count) % count;
    m_buttons.at(target)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}
