#include "ui/settings/SoundPurposeCard.h"

#include "services/SoundCatalog.h"
#include "services/UserSoundStore.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/SettingBinding.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/SettingsAccent.h"
#include "ui/settings/SettingsText.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

SoundPurposeCard::SoundPurposeCard(SoundPurpose purpose, Preferences& preferences,
                                   const UserSoundStore& userSounds, QWidget* parent)
    : PressableButton(0.96, parent), m_purpose(purpose), m_preferences(preferences),
      m_userSounds(userSounds) {
    setObjectName(QStringLiteral("quorvane.settings.sound.") + toRaw(purpose));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(settingsText(cardTitleKey(purpose)));
    SettingBinding::observe(*this, preferences, soundSetting(purpose), [this](const QString&) {
        AccessibleTraits::setValue(this, currentName());
        update();
    });
    // A renamed or deleted user sound changes the name shown.
    connect(&userSounds, &UserSoundStore::soundsChanged, this, [this] {
        AccessibleTraits::setValue(this, currentName());
        update();
    });
    connect(this, &QAbstractButton::clicked, this, [this] { emit openRequested(m_purpose); });
}

QString SoundPurposeCard::currentName() const {
    if (const auto sound = SoundCatalog::byID(soundSetting(m_purpose).read(m_preferences), m_userSounds)) {
        return sound->displayName;
    }
    return tr("Choose a sound");
}

QSize SoundPurposeCard::sizeHint() const {
    return {150, minimumSizeHint().height()};
}

QSize SoundPurposeCard::minimumSizeHint() const {
    // Badge, a title of up to two lines, the sound's name, padding.
    const double title = QFontMetricsF(QvFont::qvText(13, QFont::DemiBold)).height() * 2;
    const double name = QFontMetricsF(QvFont::qvText(12, QFont::Medium)).height();
    return {80, int(std::ceil(10 + 28 + 4 + title + 4 + name + 10))};
}

void SoundPurposeCard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setAccessibleName(settingsText(cardTitleKey(m_purpose)));
        AccessibleTraits::setValue(this, currentName());
    }
    PressableButton::changeEvent(event);
}

void SoundPurposeCard::paintFace(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = QvSurface::continuousRoundedRect(bounds, 8);
    QColor fill = QvColor::qvBgSurface().resolve(scheme);
    fill.setAlphaF(0.5f);
    p.fillPath(shape, fill);
    p.strokePath(shape, QPen(QvColor::qvBorder().resolve(scheme), 1));

    const QRectF inner = bounds.adjusted(10, 10, -10, -10);
    const QRectF badge(inner.topLeft(), QSizeF(28, 28));
    p.setPen(Qt::NoPen);
    p.setBrush(QvColor::qvBgSurface().resolve(scheme));
    p.drawEllipse(badge);
    SymbolIcon::paint(p, badge.adjusted(7.5, 7.5, -7.5, -7.5), cardIcon(m_purpose),
                      QvColor::qvInkSecondary().resolve(scheme));
    SymbolIcon::paint(p, QRectF(inner.right() - 10, badge.center().y() - 5, 10, 10),
                      QStringLiteral("chevron.right"), QvColor::qvInkMuted().resolve(scheme));

    const QFont titleFont = QvFont::qvText(13, QFont::DemiBold);
    p.setFont(titleFont);
    p.setPen(QvColor::qvInkPrimary().resolve(scheme));
    const QRectF titleRect(inner.left(), badge.bottom() + 4, inner.width(),
                           QFontMetricsF(titleFont).height() * 2);
    const QRectF used = p.boundingRect(titleRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                       settingsText(cardTitleKey(m_purpose)));
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               settingsText(cardTitleKey(m_purpose)));

    const QFont nameFont = QvFont::qvText(12, QFont::Medium);
    p.setFont(nameFont);
    p.setPen(SettingsAccent::of(this));
    const QRectF nameRect(inner.left(), used.bottom() + 4, inner.width(), QFontMetricsF(nameFont).height());
    p.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetricsF(nameFont).elidedText(currentName(), Qt::ElideRight, inner.width()));
    if (hasFocus()) {
        QColor ring = QvColor::qvInkAction().resolve(scheme);
        ring.setAlphaF(0.45f);
        p.strokePath(QvSurface::continuousRoundedRect(bounds.adjusted(1, 1, -1, -1), 8), QPen(ring, 2));
    }
}
