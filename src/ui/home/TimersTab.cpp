#include "ui/home/TimersTab.h"

#include "platform/InProcessNotifications.h"
#include "core/ChainCoordinator.h"
#include "theme/ModuleVisibilityStore.h"
#include "theme/QvColor.h"
#include "ui/focus/ChainBuilderOverlay.h"
#include "ui/focus/ChainRunningBanner.h"
#include "ui/focus/FocusWidgets.h"
#include "ui/focus/PomodoroCard.h"
#include "ui/home/HeroSection.h"
#include "ui/home/RunningHeroView.h"
#include "ui/home/TimersTabModel.h"
#include "ui/home/ToolRow.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/popover/MainViewModel.h"
#include "ui/popover/TarvolinTimerMainView.h"

#include <QPainter>

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
                                     [&root] { FocusWidgets::openChainBuilder(root); },
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
    m_pomodoroArea = FocusWidgets::makePomodoroCard(root, this);
    m_toolRow = new ToolRow(*m_model, this);
    m_chainBanner = FocusWidgets::makeChainRunningBanner(root, this);
    // Last, so that it lies over everything when it opens; it follows the root's showChainBuilder itself.
    m_chainBuilder = FocusWidgets::installChainBuilderOverlay(root, this);
    placeSections();
    followPomodoroArea();
    followChainBanner();

    connect(m_model, &TimersTabModel::pomodoroActiveChanged, this, &TimersTab::placeSections);
    connect(m_model, &TimersTabModel::heroChanged, this, &TimersTab::followPomodoroArea);
    connect(m_model, &TimersTabModel::heroUpdated, this, &TimersTab::followPomodoroArea);
    connect(m_model, &TimersTabModel::pomodoroActiveChanged, this, &TimersTab::followPomodoroArea);
    connect(&root.moduleVisibility(), &ModuleVisibilityStore::hiddenModulesChanged, this,
            &TimersTab::followPomodoroArea);
    // The card switches its face on its own; its origin moves with it.
    connect(m_pomodoroArea, &PomodoroCard::faceChanged, this, &TimersTab::placeSections);
    connect(&root.chainCoordinator(), &ChainCoordinator::isRunningChanged, this,
            &TimersTab::followChainBanner);
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
    // The card keeps room above its face for the start card's Stop.
    m_pomodoroArea->move(pomodoroAreaOrigin(active) - QPoint(0, PomodoroCard::topRoom));
    m_toolRow->move(toolRowOrigin());
    m_chainBanner->move(chainBannerOrigin());
}

void TimersTab::followPomodoroArea() {
    m_pomodoroArea->setVisible(m_model->shouldShowPomodoroSequence());
}

void TimersTab::followChainBanner() {
    m_chainBanner->setVisible(m_model->isChainRunning());
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
