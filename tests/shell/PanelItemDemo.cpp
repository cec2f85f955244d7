// A small program showing the panel item on the session bus and display it is given, for desktop tests:
// it reports on stdout what the item does ("presence …", "geometry x y w h", "activate x y", "menu a|b|…",
// "prepare n", "floating", "quit", "timers n") and takes commands on stdin ("grab FILE" saves the screen,
// "quit").
#include "core/AppSettings.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "shell/PanelItem.h"
#include "support/FakeServices.h"
#include "ui/kit/MenuBarLabelModel.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QMenu>
#include <QMetaEnum>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString& line) {
    QTextStream out(stdout);
    out << line << '\n';
    out.flush();
}

QStringList titles(const QMenu& menu) {
    QStringList list;
    for (const QAction* action : menu.actions()) {
        list << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return list;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QCommandLineParser parser;
    const QCommandLineOption modeOption(QStringLiteral("mode"), QStringLiteral("display mode"),
                                        QStringLiteral("raw"));
    const QCommandLineOption languageOption(QStringLiteral("language"), QStringLiteral("in-app language"),
                                            QStringLiteral("raw"));
    const QCommandLineOption pausedOption(QStringLiteral("paused"), QStringLiteral("a paused 4:05 timer"));
    const QCommandLineOption inkOption(QStringLiteral("ink"), QStringLiteral("label colour"),
                                       QStringLiteral("color"));
    parser.addOptions({modeOption, languageOption, pausedOption, inkOption});
    parser.process(app);

    Preferences preferences; // in memory
    AppSettings settings(preferences);
    if (parser.isSet(modeOption)) {
        settings.setMenuBarDisplayModeRaw(parser.value(modeOption));
    }
    if (parser.isSet(languageOption)) {
        settings.setAppLanguageRaw(parser.value(languageOption));
    }
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history(systemClock());
    TimerManager manager(persistence, notification, sound, history, settings);
    if (parser.isSet(pausedOption)) {
        if (const auto tea = manager.addTimer(QStringLiteral("tea"), 245, true)) {
            manager.pause(tea->id);
        }
    }
    MenuBarLabelModel label(manager, settings);
    qsizetype timerCount = manager.timers().size();
    QObject::connect(&manager, &TimerManager::timersChanged, [&] {
        if (manager.timers().size() != timerCount) {
            timerCount = manager.timers().size();
            say(QStringLiteral("timers %1").arg(timerCount));
        }
    });

    PanelCallbacks callbacks{
        [](QPoint p) { say(QStringLiteral("activate %1 %2").arg(p.x()).arg(p.y())); },
        [](int minutes) { say(QStringLiteral("prepare %1").arg(minutes)); },
        [] { say(QStringLiteral("floating")); },
        [] { say(QStringLiteral("quit")); },
    };
    PanelItem::Options options;
    if (parser.isSet(inkOption)) {
        options.ink = QColor(parser.value(inkOption));
    }
    PanelItem item(label, manager, settings, QDBusConnection::sessionBus(), callbacks, options);

    QTimer geometryPoll;
    geometryPoll.setInterval(100);
    QObject::connect(&geometryPoll, &QTimer::timeout, [&] {
        const QRect g = item.fallbackGeometry();
        if (g.isValid() && g.width() > 1) {
            geometryPoll.stop();
            say(QStringLiteral("geometry %1 %2 %3 %4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
        }
    });
    QObject::connect(&item, &PanelItem::presenceChanged, [&](PanelItem::Presence presence) {
        say(QStringLiteral("presence ") +
            QString::fromLatin1(QMetaEnum::fromType<PanelItem::Presence>().valueToKey(int(presence))));
        if (presence == PanelItem::Presence::systemTray) {
            geometryPoll.start();
            if (QMenu* menu = item.contextMenu()) {
                // After the item's own handler has filled it.
                QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] {
                    QTimer::singleShot(0, menu, [menu] {
                        say(QStringLiteral("menu ") + titles(*menu).join(QLatin1Char('|')));
                    });
                });
            }
        }
    });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer - 1);
        if (n <= 0) {
            input.setEnabled(false);
            QApplication::quit();
            return;
        }
        const QStringList lines =
            QString::fromUtf8(buffer, qsizetype(n)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1String("grab "))) {
                const QString file = line.mid(5).trimmed();
                const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(file);
                say(saved ? QStringLiteral("grabbed") : QStringLiteral("grab failed"));
            } else if (line.trimmed() == QLatin1String("quit")) {
                QApplication::quit();
            }
        }
    });

    item.start();
    return QApplication::exec();
}
