#include "shell/RightClickMenu.h"

#include "core/AppSettings.h"
#include "core/TimerManager.h"
#include "platform/TarvolinTimerLogger.h"
#include "platform/TranslationCatalog.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTranslator>

#include <memory>

namespace {

const auto kContext = "RightClickMenu";

// The titles, English as written; lupdate collects them from here.
const char* const kPause = QT_TRANSLATE_NOOP("RightClickMenu", "Pause");
const char* const kResume = QT_TRANSLATE_NOOP("RightClickMenu", "Resume");
const char* const kStop = QT_TRANSLATE_NOOP("RightClickMenu", "Stop");
const char* const kQuickTimer = QT_TRANSLATE_NOOP("RightClickMenu", "Quick Timer");
const char* const kReviewMinutes = QT_TRANSLATE_NOOP("RightClickMenu", "Review %1-minute timer");
const char* const kFloatingWindow = QT_TRANSLATE_NOOP("RightClickMenu", "Floating Window");
const char* const kQuit = QT_TRANSLATE_NOOP("RightClickMenu", "Quit TarvolinTimer");

bool isEnglish(const QString& languageRaw) {
    return languageRaw == QLatin1String("en");
}

// The Japanese catalogue of our own, loaded once: the menu follows the in-app language read at each build,
// whichever catalogue the rest of the program has installed.
const QTranslator* japaneseCatalogue() {
    static const std::unique_ptr<QTranslator> translator = [] {
        auto loaded = std::make_unique<QTranslator>();
        if (!loaded->load(TranslationCatalog::resourcePath(QStringLiteral("ja")))) {
            TT_LOG_WARNING(QStringLiteral("PanelItem"),
                           QStringLiteral("Japanese catalogue not loaded; menu titles stay English"));
            loaded.reset();
        }
        return loaded;
    }();
    return translator.get();
}

PanelMenuEntry separator(int id) {
    return {id, PanelMenuEntry::Kind::separator, {}, PanelMenuEntry::Action::none, 0, {}};
}

PanelMenuEntry action(int id, QString title, PanelMenuEntry::Action what, int minutes = 0) {
    return {id, PanelMenuEntry::Kind::action, std::move(title), what, minutes, {}};
}

const PanelMenuEntry* find(const QList<PanelMenuEntry>& entries, int id) {
    for (const PanelMenuEntry& e : entries) {
        if (e.id == id) {
            return &e;
        }
        if (const PanelMenuEntry* inner = find(e.children, id)) {
            return inner;
        }
    }
    return nullptr;
}

} // namespace

RightClickMenu::RightClickMenu(TimerManager& timers, AppSettings& settings, PanelCallbacks callbacks,
                               QObject* parent)
    : QObject(parent), m_timers(timers), m_settings(settings), m_callbacks(std::move(callbacks)),
      m_shape(currentShape()) {
    connect(&m_timers, &TimerManager::timersChanged, this, &RightClickMenu::recheck);
    connect(&m_settings, &AppSettings::changed, this, &RightClickMenu::recheck);
}

QString RightClickMenu::translate(const char* source, const QString& languageRaw) {
    if (!isEnglish(languageRaw)) {
        if (const QTranslator* catalogue = japaneseCatalogue()) {
            const QString text = catalogue->translate(kContext, source);
            if (!text.isEmpty()) {
                return text;
            }
        }
    }
    return QString::fromUtf8(source);
}

RightClickMenu::Shape RightClickMenu::currentShape() const {
    Shape shape;
    const auto primary = m_timers.primaryTimer();
    shape.hasPrimary = primary.has_value();
    shape.primaryRunning = primary && primary->state == TimerState::running;
    shape.english = isEnglish(m_settings.appLanguageRaw());
    return shape;
}

void RightClickMenu::recheck() {
    Shape shape = currentShape();
    if (shape == m_shape) {
        return;
    }
    m_shape = shape;
    emit changed();
}

QList<PanelMenuEntry> RightClickMenu::build() const {
    using Action = PanelMenuEntry::Action;
    const QString language = m_settings.appLanguageRaw();
    const auto tr = [&](const char* source) { return translate(source, language); };

    QList<PanelMenuEntry> entries;
    if (const auto primary = m_timers.primaryTimer()) {
        entries << action(pauseResumeId, tr(primary->state == TimerState::running ? kPause : kResume),
                          Action::togglePrimary)
                << action(stopId, tr(kStop), Action::stopPrimary) << separator(timerSeparatorId);
    }
    PanelMenuEntry quick{quickTimerId, PanelMenuEntry::Kind::submenu, tr(kQuickTimer), Action::none, 0, {}};
    const int quickIds[] = {quick5Id, quick25Id, quick50Id};
    for (int i = 0; i < 3; ++i) {
        quick.children << action(quickIds[i], tr(kReviewMinutes).arg(quickMinutes[i]), Action::prepareMinutes,
                                 quickMinutes[i]);
    }
    entries << quick << separator(quickSeparatorId)
            << action(floatingId, tr(kFloatingWindow), Action::toggleFloating)
            << separator(floatingSeparatorId) << action(quitId, tr(kQuit), Action::quit);
    return entries;
}

std::optional<PanelMenuEntry> RightClickMenu::entry(int id) const {
    const QList<PanelMenuEntry> entries = build();
    if (const PanelMenuEntry* found = find(entries, id)) {
        return *found;
    }
    return std::nullopt;
}

bool RightClickMenu::trigger(int id) {
    const auto found = entry(id);
    if (!found || found->action == PanelMenuEntry::Action::none) {
        return false;
    }
    perform(found->action, found->minutes);
    return true;
}

void RightClickMenu::perform(PanelMenuEntry::Action what, int minutes) {
    using Action = PanelMenuEntry::Action;
    switch (what) {
    case Action::none:
        break;
    case Action::togglePrimary:
        // A menu that offered Pause or Resume may be chosen after its timer is gone: then nothing happens,
        // rather than the toggle starting a timer nobody asked for.
        if (m_timers.primaryTimer()) {
            m_timers.togglePrimary();
        }
        break;
    case Action::stopPrimary:
        if (const auto primary = m_timers.primaryTimer()) {
            m_timers.removeTimer(primary->id);
        }
        break;
    case Action::prepareMinutes:
        if (m_callbacks.prepareMinutes) {
            m_callbacks.prepareMinutes(minutes);
        }
        break;
    case Action::toggleFloating:
        if (m_callbacks.toggleFloating) {
            m_callbacks.toggleFloating();
        }
        break;
    case Action::quit:
        if (m_callbacks.quit) {
            m_callbacks.quit();
        }
        break;
    }
}

void RightClickMenu::fill(QMenu& menu) {
    // Submenus are children of the menu and outlive clear(); drop the last build's.
    for (QMenu* old : menu.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly)) {
        old->deleteLater();
    }
    menu.clear();
    const auto add = [this](QMenu& into, const QList<PanelMenuEntry>& entries, const auto& self) -> void {
        for (const PanelMenuEntry& e : entries) {
            switch (e.kind) {
            case PanelMenuEntry::Kind::separator:
                into.addSeparator();
                break;
            case PanelMenuEntry::Kind::submenu: {
                QMenu* sub = into.addMenu(e.title);
                sub->setTitle(e.title);
                self(*sub, e.children, self);
                break;
            }
            case PanelMenuEntry::Kind::action: {
                QAction* item = into.addAction(e.title);
                item->setData(e.id);
                // The action the user saw is the one done, at the moment it is chosen.
                connect(item, &QAction::triggered, this,
                        [this, what = e.action, minutes = e.minutes] { perform(what, minutes); });
                break;
            }
            }
        }
    };
    add(menu, build(), add);
}
