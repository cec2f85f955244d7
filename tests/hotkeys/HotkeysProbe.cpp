// A small program for the desktop tests: binds hotkeys on the display in $DISPLAY and prints one line per
// thing that happens, so a test can drive the keyboard with xdotool and read what fired.
//
//   hotkeys_probe NAME=KEYCODE:MODIFIERS...
// prints "settled" whenever every grab asked for has been answered, "down NAME" and "up NAME" as handlers
// run, "key down|up KEYCODE MODIFIERS" for every key event the grabs bring (repeats included), "taken
// KEYCODE MODIFIERS" for a combination another program holds, and "refused KEYCODE MODIFIERS WHY" for
// every combination that could not be held (WHY: taken, key, modifier, desktop, display). Reads commands
// on stdin: "enable" registers every bound name's shortcut again and prints "enabled" once that has been
// answered; "off" and "on" withdraw every grab and ask for them all again, as while a shortcut is
// recorded, and print "off" and "on" when done; "bind NAME=KEYCODE:MODIFIERS" binds one more name and
// prints "bound"; "quit" ends.
#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/XcbHotkeyBackend.h"
#include "platform/Preferences.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <utility>
#include <unistd.h>

using namespace GlobalHotkeys;

namespace {

void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

QString causeWord(GrabFailure why) {
    switch (why) {
    case GrabFailure::takenByAnotherProgram:
        return QStringLiteral("taken");
    case GrabFailure::keyNotOnKeyboard:
        return QStringLiteral("key");
    case GrabFailure::modifierNotOnKeyboard:
        return QStringLiteral("modifier");
    case GrabFailure::refusedByDesktop:
        return QStringLiteral("desktop");
    case GrabFailure::noDisplay:
        return QStringLiteral("display");
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    Preferences preferences; // in memory: the probe leaves no trace
    Preferences::setStandard(&preferences);

    XcbHotkeyBackend backend;
    if (!backend.isConnected()) {
        say(QStringLiteral("no-display"));
        return 2;
    }
    installBackend(&backend);
    bool enabling = false;
    QObject::connect(&backend, &HotkeyBackend::grabsSettled, [&enabling] {
        say(QStringLiteral("settled"));
        if (std::exchange(enabling, false)) {
            say(QStringLiteral("enabled"));
        }
    });
    QObject::connect(&backend, &HotkeyBackend::keyEvent, [](EventType type, const Shortcut& shortcut) {
        say(QStringLiteral("key %1 %2 %3")
                .arg(type == EventType::keyDown ? QStringLiteral("down") : QStringLiteral("up"))
                .arg(shortcut.carbonKeyCode)
                .arg(shortcut.carbonModifiers));
    });
    QObject::connect(&notifier(), &HotkeyNotifier::shortcutTaken, [](const Shortcut& shortcut) {
        say(QStringLiteral("taken %1 %2").arg(shortcut.carbonKeyCode).arg(shortcut.carbonModifiers));
    });
    QObject::connect(&notifier(), &HotkeyNotifier::shortcutRefused,
                     [](const Shortcut& shortcut, GrabFailure why) {
                         say(QStringLiteral("refused %1 %2 %3")
                                 .arg(shortcut.carbonKeyCode)
                                 .arg(shortcut.carbonModifiers)
                                 .arg(causeWord(why)));
                     });

    QList<Name> names;
    const auto bind = [&names](const QString& binding) {
        const QString name = binding.section(QLatin1Char('='), 0, 0);
        const QString keys = binding.section(QLatin1Char('='), 1);
        const Shortcut shortcut(keys.section(QLatin1Char(':'), 0, 0).toLongLong(),
                                keys.section(QLatin1Char(':'), 1).toLongLong());
        const Name bound(name);
        setShortcut(shortcut, bound);
        onKeyDown(bound, [name] { say(QStringLiteral("down ") + name); });
        onKeyUp(bound, [name] { say(QStringLiteral("up ") + name); });
        names.append(bound);
    };
    for (const QString& argument : app.arguments().mid(1)) {
        bind(argument);
    }

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256] = {};
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer - 1);
        if (got <= 0) {
            QCoreApplication::quit();
            return;
        }
        const QString commands = QString::fromUtf8(buffer, got);
        for (const QString& command : commands.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (command == QStringLiteral("enable")) {
                enable(names);
                enabling = true;
            } else if (command == QStringLiteral("off") || command == QStringLiteral("on")) {
                setEnabled(command == QStringLiteral("on"));
                say(command);
            } else if (command.startsWith(QStringLiteral("bind "))) {
                bind(command.mid(5));
                say(QStringLiteral("bound"));
            } else if (command == QStringLiteral("quit")) {
                QCoreApplication::quit();
            }
        }
    });
    say(QStringLiteral("started"));
    const int status = QGuiApplication::exec();
    installBackend(nullptr);
    return status;
}
