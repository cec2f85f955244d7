#include "ui/settings/SettingsSection.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/SurfaceWidget.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/SettingsText.h"

#include <QEvent>
#include <QVBoxLayout>

SettingsSection::SettingsSection(const char* title, const char* subtitle, QWidget* parent)
    : QWidget(parent), m_title(title), m_subtitle(subtitle) {
    m_outer = new QVBoxLayout(this);
    m_outer->setContentsMargins(0, 0, 0, 0);
    auto* heading = new QVBoxLayout;
    heading->setSpacing(3);
    m_titleLabel = new TokenLabel(QvColor::qvInkPrimary(), this);
    m_titleLabel->setFont(QvFont::qvText(18, QFont::DemiBold));
    heading->addWidget(m_titleLabel);
    if (m_subtitle) {
        m_subtitleLabel = new TokenLabel(QvColor::qvInkMuted(), this);
        m_subtitleLabel->setFont(QvFont::qvText(13, QFont::Normal));
        m_subtitleLabel->setWordWrap(true);
        heading->addWidget(m_subtitleLabel);
    }
    m_outer->addLayout(heading);
    auto* card = new SurfaceWidget(SurfaceWidget::Kind::card, this);
    card->setCornerRadius(20);
    m_card = card;
    m_content = new QVBoxLayout(card);
    m_content->setContentsMargins(0, 0, 0, 0);
    m_outer->addWidget(card);
    retranslate();
    applyDensity();
}

void SettingsSection::applyDensity() {
    const double gap = scaled(ViewEnvironment::displayDensity(this), 16);
    m_outer->setSpacing(int(gap));
    static_cast<SurfaceWidget*>(m_card)->setPadding(QMargins(int(gap), int(gap), int(gap), int(gap)));
}

void SettingsSection::retranslate() {
    m_titleLabel->setText(settingsText(m_title));
    if (m_subtitleLabel) {
        m_subtitleLabel->setText(settingsText(m_subtitle));
    }
}

void SettingsSection::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    } else if (event->type() == QEvent::ParentChange) {
        applyDensity();
    }
    QWidget::changeEvent(event);
}
