#include "ui/quickentry/InlineAlert.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/kit/DimmedOverlay.h"
#include "ui/kit/KeyPress.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int kPadding = 18;
constexpr double kCornerRadius = 12;

SurfaceStyle alertStyle(ColorScheme scheme) {
    SurfaceStyle style;
    style.cornerRadius = kCornerRadius;
    style.fill = QvColor::qvCanvas().resolve(scheme);
    style.outline = QvColor::qvStroke().resolve(scheme);
    style.shadows = {SurfaceShadow{Qt::black, 0.08, 20, 8}};
    return style;
}

// The field's rounded, outlined ground.
class AlertFieldGround : public QWidget {
public:
    explicit AlertFieldGround(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const QPainterPath shape =
            QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius);
        painter.fillPath(shape, QvColor::qvSurface().resolve(scheme));
        painter.setPen(QPen(QvColor::qvStroke().resolve(scheme), 1));
        painter.drawPath(shape);
    }
};

} // namespace

InlineAlert::InlineAlert(const QString& title, const QString& message, QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    // A click on the alert's ground keeps the keyboard inside it.
    setFocusPolicy(Qt::ClickFocus);
    const QMargins shadow = QvSurface::shadowMargins(alertStyle(ColorScheme::light));
    m_column = new QVBoxLayout(this);
    m_column->setContentsMargins(shadow + QMargins(kPadding, kPadding, kPadding, kPadding));
    m_column->setSpacing(12);
    m_column->setSizeConstraint(QLayout::SetFixedSize);
    const int inner = alertWidth - 2 * kPadding;

    auto* heading = new TokenLabel(QvColor::qvTextPrimary(), this);
    heading->setObjectName(QStringLiteral("quorvane.alert.title"));
    heading->setFont(QvFont::qvText(15, QFont::DemiBold));
    heading->setAlignment(Qt::AlignCenter);
    heading->setWordWrap(true);
    heading->setFixedWidth(inner);
    heading->setText(title);
    m_column->addWidget(heading);
    if (!message.isEmpty()) {
        auto* body = new TokenLabel(QvColor::qvTextSecondary(), this);
        body->setObjectName(QStringLiteral("quorvane.alert.message"));
        body->setFont(QvFont::qvText(12, QFont::Normal));
        body->setAlignment(Qt::AlignCenter);
        body->setWordWrap(true);
        body->setFixedWidth(inner);
        body->setText(message);
        m_column->addWidget(body);
    }

    m_buttonRow = new QWidget(this);
    m_buttonRow->setFixedWidth(inner);
    auto* row = new QHBoxLayout(m_buttonRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8 - 2 * LabelButton::focusRingRoom);
    m_column->addWidget(m_buttonRow);
}

QLineEdit* InlineAlert::addField(const QString& placeholder, const QString& text) {
    auto* ground = new AlertFieldGround(this);
    ground->setFixedSize(alertWidth - 2 * kPadding, 34);
    auto* layout = new QHBoxLayout(ground);
    layout->setContentsMargins(10, 0, 10, 0);
    m_field = new QLineEdit(ground);
    m_field->setObjectName(QStringLiteral("quorvane.alert.field"));
    m_field->setFrame(false);
    m_field->setFont(QvFont::qvText(13, QFont::Normal));
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    QPalette palette = m_field->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, QvColor::qvTextPrimary().resolve(scheme));
    palette.setColor(QPalette::PlaceholderText, QvColor::qvTextTertiary().resolve(scheme));
    m_field->setPalette(palette);
    m_field->setPlaceholderText(placeholder);
    m_field->setText(text);
    layout->addWidget(m_field);
    // Above the buttons.
    m_column->insertWidget(m_column->indexOf(m_buttonRow), ground);
    return m_field;
}

LabelButton* InlineAlert::addButton(const QString& text, Role role) {
    const QFont font = QvFont::qvText(13, QFont::DemiBold);
    LabelButton::Look look(QvColor::qvSurface(), QvColor::qvTextPrimary(), font);
    switch (role) {
    case Role::cancel:
        look.outline = QvColor::qvStroke();
        break;
    case Role::confirm:
        look = LabelButton::Look(QvColor::qvInkAction(), QvColor::qvInkOnAction(), font);
        break;
    case Role::destructive:
        look = LabelButton::Look(QvColor::qvDanger(), QvColor::qvInkOnAction(), font);
        break;
    }
    auto* button = new LabelButton(1.0, look, m_buttonRow);
    button->setText(text);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setMinimumWidth(0);
    m_buttonRow->layout()->addWidget(button);
    return button;
}

void InlineAlert::present(QWidget* host) {
    m_overlay = new DimmedOverlay(host);
    m_overlay->setContent(this);
    connect(m_overlay, &DimmedOverlay::escapePressed, this, [this] {
        if (m_cancel) {
            m_cancel->click();
        }
    });
    if (m_field) {
        m_field->setFocus(Qt::OtherFocusReason);
        m_field->selectAll();
    } else if (m_cancel) {
        m_cancel->setFocus(Qt::OtherFocusReason);
    } else {
        m_overlay->focusContent();
    }
}

void InlineAlert::dismiss() {
    // A button of the alert may be the one being handled now: hide at once, delete later.
    if (m_overlay) {
        m_overlay->hide();
        m_overlay->deleteLater();
    } else {
        hide();
        deleteLater();
    }
}

void InlineAlert::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF card =
        QRectF(rect()).marginsRemoved(QMarginsF(QvSurface::shadowMargins(alertStyle(ColorScheme::light))));
    QvSurface::paint(painter, card, alertStyle(ViewEnvironment::colorScheme(this)));
}

void InlineAlert::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
        // A focused button answers for itself; from the field, the default button does.
        if (auto* focused = qobject_cast<LabelButton*>(focusWidget())) {
            focused->click();
        } else if (m_default && m_default->isEnabled()) {
            m_default->click();
        }
        event->accept();
        return;
    }
    if (KeyPress::isPlainEscape(*event)) {
        if (m_cancel) {
            m_cancel->click();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
