#include "ui/settings/SoundCard.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/SettingsAccent.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QTextLayout>

namespace {

QFont nameFont() {
    return QvFont::qvText(13, QFont::DemiBold);
}

// The name in at most two lines, the second cut with an ellipsis.
QStringList twoLines(const QString& text, double width) {
    QTextLayout layout(text, nameFont());
    layout.beginLayout();
    QStringList lines;
    while (lines.size() < 2) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), lines.size() == 1 ? -1 : line.textLength());
    }
    layout.endLayout();
    if (lines.size() == 2) {
        lines[1] = QFontMetricsF(nameFont()).elidedText(lines[1].trimmed(), Qt::ElideRight, width);
    }
    return lines;
}

} // namespace

// The "…" of a user sound's card: a button of its own, so the keyboard reaches it and a screen reader
// reads it as the sound's options.
class SoundCardMenuButton : public PressableButton {
public:
    // The glyph's box sits this far inside the button's trailing and top edges.
    static constexpr QMargins reach{4, 6, 4, 6};

    explicit SoundCardMenuButton(QWidget* parent) : PressableButton(0.96, parent) {
        setObjectName(QStringLiteral("quorvane.settings.gallery.menuButton"));
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void paintFace(QPainter& p) override {
        p.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        SymbolIcon::paint(p, QRectF(width() - reach.right() - 14, height() / 2.0 - 7, 14, 14),
                          QStringLiteral("ellipsis"), QvColor::qvInkMuted().resolve(scheme));
        if (hasFocus()) {
            QColor ring = QvColor::qvInkAction().resolve(scheme);
            ring.setAlphaF(0.45f);
            p.strokePath(QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8),
                         QPen(ring, 2));
        }
    }
};

SoundCard::SoundCard(const TimerSound& sound, QWidget* parent)
    : PressableButton(0.96, parent), m_sound(sound) {
    setObjectName(QStringLiteral("quorvane.settings.gallery.sound.") + sound.id);
    setFocusPolicy(Qt::StrongFocus);
    // One of the gallery's choices: the chosen sound reads as selected.
    AccessibleTraits::setRole(this, QAccessible::ListItem);
    AccessibleTraits::setSelected(this, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(sound.displayName);
    if (sound.kind == TimerSound::Kind::user) {
        m_menu = new QMenu(this);
        m_menu->setObjectName(QStringLiteral("quorvane.settings.gallery.menu"));
        m_rename = m_menu->addAction(QString());
        m_rename->setObjectName(QStringLiteral("rename"));
        m_delete = m_menu->addAction(QString());
        m_delete->setObjectName(QStringLiteral("delete"));
        connect(m_rename, &QAction::triggered, this, [this] { emit renameRequested(m_sound); });
        connect(m_delete, &QAction::triggered, this, [this] { emit deleteRequested(m_sound); });
        m_menuButton = new SoundCardMenuButton(this);
        connect(m_menuButton, &QAbstractButton::clicked, this, &SoundCard::popupMenu);
        placeMenuButton();
        // The line under the name is read after it.
        AccessibleTraits::setValue(this, tr("Plays in full"));
    }
    retranslate();
}

void SoundCard::setSelected(bool selected) {
    m_selected = selected;
    AccessibleTraits::setSelected(this, selected);
    placeMenuButton();
    update();
}

void SoundCard::placeMenuButton() {
    if (m_menuButton) {
        m_menuButton->setGeometry(menuMarkRect().toAlignedRect().marginsAdded(SoundCardMenuButton::reach));
        m_menuButton->setVisible(offersMenu());
    }
}

void SoundCard::resizeEvent(QResizeEvent* event) {
    placeMenuButton();
    PressableButton::resizeEvent(event);
}

bool SoundCard::offersMenu() const {
    return m_menu && !m_selected;
}

QAbstractButton* SoundCard::menuButton() const {
    return m_menuButton;
}

QSize SoundCard::sizeHint() const {
    return {110, minimumSizeHint().height()};
}

QSize SoundCard::minimumSizeHint() const {
    // Room for two lines of the name and, under a user sound's, the "Plays in full" line.
    const double line = QFontMetricsF(nameFont()).height();
    const double note = m_sound.kind == TimerSound::Kind::user
                            ? 1 + QFontMetricsF(QvFont::qvText(12, QFont::Normal)).height()
                            : 0;
    return {40, std::max(minimumHeight, int(std::ceil(10 + 26 + 8 + 2 * line + note + 10)))};
}

QRectF SoundCard::menuMarkRect() const {
    return {width() - 10.0 - 22, 10 + 13 - 8, 22, 16};
}

void SoundCard::popupMenu() {
    if (offersMenu()) {
        m_menu->popup(mapToGlobal(menuMarkRect().bottomLeft().toPoint()));
    }
}

void SoundCard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers().testFlag(Qt::ShiftModifier))) {
        popupMenu();
        event->accept();
        return;
    }
    PressableButton::keyPressEvent(event);
}

void SoundCard::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    PressableButton::enterEvent(event);
}

void SoundCard::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    PressableButton::leaveEvent(event);
}

void SoundCard::retranslate() {
    if (m_menu) {
        m_rename->setText(tr("Rename"));
        m_delete->setText(tr("Delete"));
        m_menuButton->setAccessibleName(tr("Options for sound %1").arg(m_sound.displayName));
        AccessibleTraits::setValue(this, tr("Plays in full"));
    }
}

void SoundCard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        update();
    }
    PressableButton::changeEvent(event);
}

void SoundCard::paintFace(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QColor accent = SettingsAccent::of(this);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = QvSurface::continuousRoundedRect(bounds, 11);
    QColor tint = accent;
    tint.setAlphaF(0.08f);
    p.fillPath(shape, m_selected  ? tint
                      : m_hovered ? QvColor::qvBgCardHover().resolve(scheme)
                                  : QvColor::qvBgCard().resolve(scheme));
    if (m_selected) {
        p.strokePath(QvSurface::continuousRoundedRect(bounds.adjusted(1, 1, -1, -1), 10), QPen(accent, 2));
    } else {
        p.strokePath(shape, QPen(QvColor::qvBorderCard().resolve(scheme), 1));
    }

    const QRectF inner = bounds.adjusted(10, 10, -10, -10);
    const QRectF badge(inner.topLeft(), QSizeF(26, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(m_selected ? accent : QvColor::qvBgCard().resolve(scheme));
    p.drawEllipse(badge);
    if (!m_selected) {
        p.setPen(QPen(QvColor::qvBorderCard().resolve(scheme), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(badge.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    SymbolIcon::paint(p, badge.adjusted(8.5, 8.5, -8.5, -8.5), QStringLiteral("play.fill"),
                      (m_selected ? QvColor::qvOnAccent() : QvColor::qvInkPrimary()).resolve(scheme));
    if (m_selected) {
        SymbolIcon::paint(p, QRectF(inner.right() - 15, badge.center().y() - 7.5, 15, 15),
                          QStringLiteral("checkmark.circle.fill"), accent);
    }

    p.setFont(nameFont());
    p.setPen(QvColor::qvInkPrimary().resolve(scheme));
    const double lineHeight = QFontMetricsF(nameFont()).height();
    double y = badge.bottom() + 8;
    for (const QString& line : twoLines(m_sound.displayName, inner.width())) {
        p.drawText(QRectF(inner.left(), y, inner.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   line);
        y += lineHeight;
    }
    if (m_sound.kind == TimerSound::Kind::user) {
        const QFont small = QvFont::qvText(12, QFont::Normal);
        p.setFont(small);
        p.setPen(QvColor::qvInkMuted().resolve(scheme));
        p.drawText(QRectF(inner.left(), y + 1, inner.width(), QFontMetricsF(small).height()),
                   Qt::AlignLeft | Qt::AlignVCenter, tr("Plays in full"));
    }
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        p.strokePath(QvSurface::continuousRoundedRect(bounds.adjusted(1, 1, -1, -1), 10), QPen(ring, 2));
    }
}

AddSoundCard::AddSoundCard(QWidget* parent) : PressableButton(0.96, parent) {
    setObjectName(QStringLiteral("quorvane.settings.gallery.addSound"));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(tr("Add Sound"));
}

void AddSoundCard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setAccessibleName(tr("Add Sound"));
        update();
    }
    PressableButton::changeEvent(event);
}

void AddSoundCard::paintFace(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QColor muted = QvColor::qvInkMuted().resolve(scheme);
    QColor dash = muted;
    dash.setAlphaF(0.5f);
    QPen pen(dash, 1);
    pen.setDashPattern({4, 3});
    p.strokePath(QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 11), pen);
    const QFont font = QvFont::qvText(12, QFont::DemiBold);
    const double textHeight = QFontMetricsF(font).height();
    const double top = height() / 2.0 - (18 + 5 + textHeight) / 2;
    SymbolIcon::paint(p, QRectF(width() / 2.0 - 9, top, 18, 18), QStringLiteral("plus"), muted);
    p.setFont(font);
    p.setPen(muted);
    p.drawText(QRectF(0, top + 23, width(), textHeight), Qt::AlignCenter, tr("Add Sound"));
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        p.strokePath(QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 10),
                     QPen(ring, 2));
    }
}
