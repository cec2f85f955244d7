#include "ui/floating/FloatingWindowView.h"

#include "ui/kit/FloatingTimerSurface.h"
#include "ui/floating/FloatingWindowModel.h"

#include <QVBoxLayout>

FloatingWindowView::FloatingWindowView(TimerManager& timerManager, PomodoroManager& pomodoroManager,
                                       const Preferences& preferences, std::function<void()> onClose,
                                       std::function<void()> onExpand, QWidget* parent)
    : QWidget(parent), m_model(new FloatingWindowModel(timerManager, pomodoroManager, preferences, this)),
      m_surface(new FloatingTimerSurface(this)), m_onClose(std::move(onClose)),
      m_onExpand(std::move(onExpand)) {
    setObjectName(QStringLiteral("quorvane.floatingWindow"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_surface);
    connect(m_model, &FloatingWindowModel::changed, this, &FloatingWindowView::refresh);
    connect(m_surface, &FloatingTimerSurface::tapped, m_model, &FloatingWindowModel::primaryAction);
    connect(m_surface, &FloatingTimerSurface::closeClicked, this, [this] {
        if (m_onClose) {
            m_onClose();
        }
    });
    refresh();
}

void FloatingWindowView::refresh() {
    FloatingTimerSurface::Values values;
    values.timeText = m_model->timeText();
    values.label = m_model->heroLabel();
    values.isRunning = m_model->isRunning();
    values.isFinished = m_model->isFinished();
    values.progress = m_model->progress();
    // Read anew each time: the view holds no theme object.
    values.accent = m_model->accent();
    values.showsClose = true;
    m_surface->setValues(values);
}
