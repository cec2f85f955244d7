#pragma once
// The panel item's right-click menu as one model: its entries, built at the moment they are needed from the
// main timer and the in-app language, and what each entry does. Exported over D-Bus and shown as a QMenu.

#include "shell/PanelCallbacks.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class AppSettings;
class QMenu;
class TimerManager;

struct PanelMenuEntry {
    enum class Kind { action, separator, submenu };
    enum class Action { none, togglePrimary, stopPrimary, prepareMinutes, toggleFloating, quit };

    // Each role keeps its id across builds, so an id a panel kept from an older build still names the same
    // entry (and one that is gone now names nothing).
    int id = 0;
    Kind kind = Kind::action;
    QString title;
    Action action = Action::none;
    int minutes = 0; // for prepareMinutes
    QList<PanelMenuEntry> children;

    bool operator==(const PanelMenuEntry&) const = default;
};

class RightClickMenu : public QObject {
    Q_OBJECT
public:
    // The fixed ids; 0 is the menu itself.
    enum Id : int {
        rootId = 0,
        pauseResumeId,
        stopId,
        timerSeparatorId,
        quickTimerId,
        quick5Id,
        quick25Id,
        quick50Id,
        quickSeparatorId,
        floatingId,
        floatingSeparatorId,
        quitId,
    };
    static constexpr int quickMinutes[] = {5, 25, 50};

    // Both must outlive the menu.
    RightClickMenu(TimerManager& timers, AppSettings& settings, PanelCallbacks callbacks,
                   QObject* parent = nullptr);

    // The entries as they are now, top to bottom.
    QList<PanelMenuEntry> build() const;
    // The entry with this id in a build made now; none when the menu has no such entry at the moment.
    std::optional<PanelMenuEntry> entry(int id) const;

    // Does what the entry with this id does now. False (and nothing happens) when the menu holds no such
    // entry now, or the entry does nothing (a separator, the quick submenu).
    bool trigger(int id);
    // Replaces the contents of `menu` with the entries of a build made now.
    void fill(QMenu& menu);

    // A title in the language the stored text names: English for "en", Japanese for anything else.
    static QString translate(const char* source, const QString& languageRaw);

signals:
    // The menu built now would differ from the one built before: the main timer came or went, was paused
    // or resumed, or the in-app language changed. Ticks alone never emit it.
    void changed();

private:
    struct Shape {
        bool hasPrimary = false;
        bool primaryRunning = false;
        bool english = false;
        bool operator==(const Shape&) const = default;
    };
    Shape currentShape() const;
    void recheck();
    void perform(PanelMenuEntry::Action action, int minutes);

    TimerManager& m_timers;
    AppSettings& m_settings;
    PanelCallbacks m_callbacks;
    Shape m_shape;
};
