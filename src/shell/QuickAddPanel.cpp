#include "shell/QuickAddPanel.h"

#include "core/QuickLaunchParser.h"
#include "core/TimerManager.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

QuickAddPanel::QuickAddPanel(TimerManager& timerManager, const std::optional<TimerStartRequest>& request,
                             QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_timerManager(&timerManager) {
    setObjectName(QStringLiteral("quorvane.quickAddPanel"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedWidth(panelWidth);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    m_heading = new QLabel(this);
    QFont headingFont = m_heading->font();
    headingFont.setPixelSize(15);
    headingFont.setWeight(QFont::DemiBold);
    m_heading->setFont(headingFont);
    layout->addWidget(m_heading);

    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages);

    auto* entry = new QWidget(m_pages);
    auto* entryLayout = new QVBoxLayout(entry);
    entryLayout->setContentsMargins(0, 0, 0, 0);
    m_field = new QLineEdit(entry);
    m_field->setObjectName(QStringLiteral("quorvane.quickAddPanel.input"));
    m_error = new QLabel(entry);
    m_error->setObjectName(QStringLiteral("quorvane.quickAddPanel.error"));
    m_error->setWordWrap(true);
    m_error->hide();
    entryLayout->addWidget(m_field);
    entryLayout->addWidget(m_error);
    m_pages->addWidget(entry);

    auto* card = new QWidget(m_pages);
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(0, 0, 0, 0);
    m_confirmation = new QLabel(card);
    m_confirmation->setObjectName(QStringLiteral("quorvane.quickAddPanel.confirmation"));
    m_confirmation->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    m_cancel = new QPushButton(card);
    m_cancel->setObjectName(QStringLiteral("quorvane.quickAddPanel.cancel"));
    m_start = new QPushButton(card);
    m_start->setObjectName(QStringLiteral("quorvane.quickAddPanel.start"));
    m_start->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_start);
    cardLayout->addWidget(m_confirmation);
    cardLayout->addLayout(buttons);
    m_pages->addWidget(card);

    connect(m_field, &QLineEdit::returnPressed, this, [this] { submit(m_field->text()); });
    connect(m_start, &QPushButton::clicked, this, &QuickAddPanel::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QuickAddPanel::cancel);

    if (request) {
        showRequest(*request);
    }
    retranslate();
}

QString QuickAddPanel::errorText() const {
    return m_error->isHidden() ? QString() : m_error->text();
}

QString QuickAddPanel::confirmationText() const {
    return m_request ? m_confirmation->text() : QString();
}

void QuickAddPanel::submit(const QString& text) {
    const QuickLaunchParseResult result = QuickLaunchParser::parse(text);
    if (const auto* error = std::get_if<QuickLaunchParseError>(&result)) {
        m_parseError = *error;
        m_error->setText(error->message());
        m_error->show();
        adjustSize();
        return;
    }
    m_parseError.reset();
    m_error->hide();
    showRequest(TimerStartRequest(std::get<ParsedQuickLaunch>(result), QString()));
}

void QuickAddPanel::confirm() {
    if (m_request && m_timerManager) {
        m_request->start(*m_timerManager);
    }
    close();
}

void QuickAddPanel::cancel() {
    close();
}

void QuickAddPanel::showRequest(const TimerStartRequest& request) {
    m_request = request;
    m_pages->setCurrentIndex(1);
    retranslate();
    m_start->setFocus();
    // The card needs more room than the field: the panel grows to fit it.
    adjustSize();
}

void QuickAddPanel::retranslate() {
    setWindowTitle(tr("Quick Add"));
    m_heading->setText(tr("Quick Add"));
    m_field->setPlaceholderText(tr("25m, 1h30m, 12:30, 9pm"));
    m_start->setText(tr("Start"));
    m_cancel->setText(tr("Cancel"));
    if (m_parseError) {
        m_error->setText(m_parseError->message());
    }
    if (m_request) {
        const QString title = m_request->title();
        if (const auto target = m_request->targetTime()) {
            m_confirmation->setText(tr("Start an alarm for %1?").arg(TimerItem::formatTimeOfDay(*target)));
        } else {
            const QString length =
                TimerItem::formatDuration(std::get<TimerStartRequest::duration>(m_request->kind()).seconds);
            m_confirmation->setText(title.isEmpty() ? tr("Start a %1 timer?").arg(length)
                                                    : tr("Start \"%1\" for %2?").arg(title, length));
        }
    }
}

void QuickAddPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void QuickAddPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}
