#include "ui/home/TimersTab.h"

#include "platform/InProcessNotifications.h"
#include "platform/TarvolinTimerLogger.h"
#include "theme/QvColor.h"
#include "ui/home/HeroSection.h"
#include "ui/home/RunningHeroView.h"
#include "ui/home/TimersTabModel.h"
#include "ui/home/ToolRow.h"
#include "ui/kit/DimmedOverlay.h"
#include "ui/kit/SurfaceWidget.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/popover/MainViewModel.h"
#include "ui/popover/TarvolinTimerMainView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kContext = QStringLiteral("TimersTab");

} // namespace

TimersTab::TimersTab(TarvolinTimerMainView& root, const TimersTabSections& sections, QWidget* parent)
    : QWidget(parent), m_root(root), m_sections(sections) {
    setFixedSize(canvasWidth, canvasHeight);
    InProcessNotifications& notifications =
        m_sections.notifications ? *m_sections.notifications : InProcessNotifications::defaultCenter();
    m_model = new TimersTabModel(TimersTabModel::Dependencies{
                                     root.timerManager(),
                                     root.pomodoroManager(),
                                     root.moduleVisibility(),
                                     [&root]() -> ChainCoordinator& { return root.chainCoordinator(); },
                                     notifications,
                                     [&root] { root.model().setShowChainBuilder(true); },
                                 },
                                 this);

    // Back to front, as they overlap.
    m_hero = new HeroSection(*m_model, m_sections.clock, this);
    if (m_sections.quickAddBar) {
        m_quickAddBar = m_sections.quickAddBar(root, this);
    }
    if (m_sections.quickLaunchPane) {
        m_quickLaunchPane = m_sections.quickLaunchPane(root, this);
    }
    if (m_sections.pomodoroArea) {
        m_pomodoroArea = m_sections.pomodoroArea(root, this);
    }
    m_toolRow = new ToolRow(*m_model, this);
    if (m_sections.chainBanner) {
        m_chainBanner = m_sections.chainBanner(root, this);
    }
    placeSections();
    followPomodoroArea();

    connect(m_model, &TimersTabModel::pomodoroActiveChanged, this, &TimersTab::placeSections);
    if (m_pomodoroArea) {
        connect(m_model, &TimersTabModel::heroChanged, this, &TimersTab::followPomodoroArea);
        connect(m_model, &TimersTabModel::heroUpdated, this, &TimersTab::followPomodoroArea);
        connect(m_model, &TimersTabModel::pomodoroActiveChanged, this, &TimersTab::followPomodoroArea);
    }
    root.installEventFilter(this);
    connect(&root.model(), &MainViewModel::showChainBuilderChanged, this, &TimersTab::followChainBuilder);
    // The builder stays open across a change of tab: a fresh one shows when the tab comes back.
    followChainBuilder(root.model().showChainBuilder());
}

void TimersTab::placeSections() {
    const bool active = m_model->isPomodoroActive();
    const int margin = RunningHeroView::margin();
    m_hero->move(heroOrigin(active) - QPoint(margin, margin));
    if (m_quickAddBar) {
        m_quickAddBar->move(quickAddBarOrigin(active));
    }
    if (m_quickLaunchPane) {
        m_quickLaunchPane->move(quickLaunchPaneOrigin(active));
    }
    if (m_pomodoroArea) {
        m_pomodoroArea->move(pomodoroAreaOrigin(active));
    }
    m_toolRow->move(toolRowOrigin());
    if (m_chainBanner) {
        m_chainBanner->move(chainBannerOrigin());
        m_chainBanner->raise();
    }
}

void TimersTab::followPomodoroArea() {
    if (m_pomodoroArea) {
        m_pomodoroArea->setVisible(m_model->shouldShowPomodoroSequence());
    }
}

void TimersTab::followChainBuilder(bool show) {
    if (!show) {
        if (m_chainBuilder) {
            m_chainBuilder->hide();
            m_chainBuilder->deleteLater();
        }
        return;
    }
    if (m_chainBuilder) {
        return;
    }
    if (!m_sections.chainBuilder) {
        TT_LOG_INFO(kContext, QStringLiteral("No task-chain builder is installed"));
        m_root.model().setShowChainBuilder(false);
        return;
    }
    m_chainBuilder = new DimmedOverlay(this);
    m_chainBuilder->setObjectName(QStringLiteral("quorvane.timers.chainBuilderOverlay"));
    auto* card = new SurfaceWidget(SurfaceWidget::Kind::referenceCard);
    card->setCornerRadius(12);
    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(card->shadowMargins());
    layout->addWidget(m_sections.chainBuilder(
        m_root, [this] { closeChainBuilder(); }, card));
    m_chainBuilder->setContent(card, chainBuilderMargin);
    m_chainBuilder->focusContent();
}

void TimersTab::closeChainBuilder() {
    m_root.model().setShowChainBuilder(false);
    m_root.restoreKeyNavFocus();
}

bool TimersTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_root || event->type() != QEvent::KeyPress || !m_quickAddBar || !isVisible() ||
        !m_root.isKeyNavFocused() || m_root.preparationCard()) {
        return QWidget::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QString text = key->text();
    if ((key->modifiers() & commands) || text.isEmpty() || !text.at(0).isPrint() || text.at(0).isSpace()) {
        return QWidget::eventFilter(watched, event);
    }
    // The first character typed moves the keyboard into the bar's field and is typed there.
    m_quickAddBar->setFocus(Qt::ShortcutFocusReason);
    QWidget* field = QApplication::focusWidget();
    if (!field || field == &m_root || !m_quickAddBar->isAncestorOf(field)) {
        return QWidget::eventFilter(watched, event);
    }
    QKeyEvent typed(QEvent::KeyPress, key->key(), key->modifiers(), text, key->isAutoRepeat(),
                    quint16(std::max(1, key->count())));
    QCoreApplication::sendEvent(field, &typed);
    return true;
}

void TimersTab::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QvColor::qvCanvas().resolve(ViewEnvironment::colorScheme(this)));
}

void installTimersTab(TarvolinTimerMainView& root, TimersTabSections sections) {
    root.setTabContentFactory(
        TarvolinTimerTab::timers,
        [sections = std::move(sections)](TarvolinTimerMainView& r) { return new TimersTab(r, sections); });
}
