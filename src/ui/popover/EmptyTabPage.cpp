#include "ui/popover/EmptyTabPage.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kSymbolSide = 32;

} // namespace

EmptyTabPage::EmptyTabPage(TarvolinTimerTab tab, QWidget* parent) : QWidget(parent), m_tab(tab) {
    setObjectName(QStringLiteral("quorvane.emptyTab.") + toRaw(tab));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(32, 32, 32, 32);
    column->setSpacing(8);
    column->addStretch();

    auto* symbol = new QLabel(this);
    symbol->setPixmap(SymbolIcon::pixmap(
        symbolName(tab), QSize(kSymbolSide, kSymbolSide),
        QvColor::qvTextTertiary().resolve(ViewEnvironment::colorScheme(this)), devicePixelRatioF()));
    symbol->setAlignment(Qt::AlignCenter);
    column->addWidget(symbol);

    // The tab's title is shown as written in every language, as in the bar.
    auto* heading = new TokenLabel(QvColor::qvTextPrimary(), this);
    heading->setFont(QvFont::qvText(15, QFont::DemiBold));
    heading->setAlignment(Qt::AlignCenter);
    heading->setText(title(tab));
    column->addWidget(heading);

    m_message = new TokenLabel(QvColor::qvTextSecondary(), this);
    m_message->setObjectName(QStringLiteral("quorvane.emptyTab.message"));
    m_message->setFont(QvFont::qvText(13, QFont::Normal));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    column->addWidget(m_message);
    column->addStretch();
    retranslate();
}

QString EmptyTabPage::message() const {
    return m_message->text();
}

void EmptyTabPage::retranslate() {
    m_message->setText(tr("This section is not available yet."));
}

void EmptyTabPage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
