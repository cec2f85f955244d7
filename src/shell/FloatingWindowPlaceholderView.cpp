#include "shell/FloatingWindowPlaceholderView.h"

#include "core/TimerManager.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

FloatingWindowPlaceholderView::FloatingWindowPlaceholderView(TimerManager& timerManager,
                                                             std::function<void()> onClose, QWidget* parent)
    : QWidget(parent), m_timerManager(&timerManager) {
    setObjectName(QStringLiteral("quorvane.floatingWindow"));
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 6, 8, 6);
    m_time = new QLabel(this);
    m_time->setObjectName(QStringLiteral("quorvane.floatingWindow.time"));
    QFont font = m_time->font();
    font.setPixelSize(24);
    font.setWeight(QFont::DemiBold);
    m_time->setFont(font);
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("quorvane.floatingWindow.close"));
    m_close->setText(QStringLiteral("×"));
    m_close->setAutoRaise(true);
    layout->addWidget(m_time, 1);
    layout->addWidget(m_close, 0, Qt::AlignTop);
    connect(m_close, &QToolButton::clicked, this, [onClose = std::move(onClose)] {
        if (onClose) {
            onClose();
        }
    });
    connect(&timerManager, &TimerManager::changed, this, &FloatingWindowPlaceholderView::refresh);
    refresh();
    retranslate();
}

QString FloatingWindowPlaceholderView::timeText() const {
    return m_time->text();
}

void FloatingWindowPlaceholderView::refresh() {
    if (!m_timerManager) {
        return;
    }
    const QString text = m_timerManager->displayTime();
    if (text != m_time->text()) {
        m_time->setText(text);
    }
}

void FloatingWindowPlaceholderView::retranslate() {
    m_close->setToolTip(tr("Close"));
    m_close->setAccessibleName(tr("Close"));
}

void FloatingWindowPlaceholderView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        refresh();
    }
    QWidget::changeEvent(event);
}
