// The launch-at-login switch over a fake registration, and over a real autostart folder.
#include "services/LoginItemManager.h"

#include "services/XdgAutostartControl.h"
#include "support/LogCapture.h"

#include "QStringPrinting.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace Qt::StringLiterals;

// A registration the test holds in its hand: it can refuse, or accept without enabling (as a desktop that
// waits for the user's approval would).
class FakeLoginItemControl : public LoginItemControlling {
public:
    enum class Answer { enable, fail, acceptButStayOff };

    bool registered = false;
    Answer answer = Answer::enable;
    QString failure = u"permission denied"_s;
    int registerCalls = 0;
    int unregisterCalls = 0;

    bool isRegistered() const override { return registered; }
    bool registerItem(QString* error) override {
        ++registerCalls;
        return respond(true, error);
    }
    bool unregisterItem(QString* error) override {
        ++unregisterCalls;
        return respond(false, error);
    }

private:
    bool respond(bool target, QString* error) {
        switch (answer) {
        case Answer::enable:
            registered = target;
            return true;
        case Answer::fail:
            *error = failure;
            return false;
        case Answer::acceptButStayOff:
            registered = false;
            return true;
        }
        return false;
    }
};

QStringList errorLines(const LogCapture& log) {
    QStringList out;
    for (const auto& entry : log.entries()) {
        if (entry.level == TarvolinTimerLogger::Level::error) {
            out << entry.line;
        }
    }
    return out;
}

TEST(LoginItemManagerTest, SetEnabledCallsTheControlOnlyToChangeTheState) {
    using Answer = FakeLoginItemControl::Answer;
    const QString failedLine =
        TarvolinTimerLogger::formatLine(u"login item toggle failed: permission denied"_s, u"LoginItem"_s);
    struct Row {
        const char* behaviour;
        bool registeredBefore;
        bool request;
        Answer answer;
        int registerCalls;
        int unregisterCalls;
        bool enabledAfter;
        QStringList errors;
    };
    const std::vector<Row> rows = {
        {"on when already on calls nothing and stays on", true, true, Answer::fail, 0, 0, true, {}},
        {"off when already off calls nothing and stays off", false, false, Answer::fail, 0, 0, false, {}},
        {"on registers", false, true, Answer::enable, 1, 0, true, {}},
        {"off unregisters", true, false, Answer::enable, 0, 1, false, {}},
        {"a refused register logs one error and shows off",
         false,
         true,
         Answer::fail,
         1,
         0,
         false,
         {failedLine}},
        {"a refused unregister logs one error and stays on",
         true,
         false,
         Answer::fail,
         0,
         1,
         true,
         {failedLine}},
        {"a register awaiting approval shows off, quietly",
         false,
         true,
         Answer::acceptButStayOff,
         1,
         0,
         false,
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        auto owned = std::make_unique<FakeLoginItemControl>();
        FakeLoginItemControl& control = *owned;
        control.registered = row.registeredBefore;
        control.answer = row.answer;
        LoginItemManager manager(std::move(owned));
        ASSERT_EQ(manager.isEnabled(), row.registeredBefore);
        QSignalSpy announced(&manager, &LoginItemManager::isEnabledChanged);
        const LogCapture log;

        manager.setEnabled(row.request);

        EXPECT_EQ(control.registerCalls, row.registerCalls);
        EXPECT_EQ(control.unregisterCalls, row.unregisterCalls);
        EXPECT_EQ(manager.isEnabled(), row.enabledAfter);
        EXPECT_EQ(manager.isEnabled(), control.registered);
        EXPECT_EQ(errorLines(log), row.errors);
        // Announced even when nothing changed, so a switch the user flipped springs back.
        ASSERT_EQ(announced.count(), 1);
        EXPECT_EQ(announced.at(0).at(0).toBool(), row.enabledAfter);
    }
}

TEST(LoginItemManagerTest, OutsideChangesShowOnlyAfterRefresh) {
    struct Row {
        const char* behaviour;
        bool before;
        bool outside;
    };
    const std::vector<Row> rows = {
        {"switched on in the system settings", false, true},
        {"switched off in the system settings", true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        auto owned = std::make_unique<FakeLoginItemControl>();
        FakeLoginItemControl& control = *owned;
        control.registered = row.before;
        LoginItemManager manager(std::move(owned));
        QSignalSpy announced(&manager, &LoginItemManager::isEnabledChanged);

        control.registered = row.outside;
        EXPECT_EQ(manager.isEnabled(), row.before);
        EXPECT_EQ(announced.count(), 0);

        manager.refresh();
        EXPECT_EQ(manager.isEnabled(), row.outside);
        ASSERT_EQ(announced.count(), 1);
        EXPECT_EQ(announced.at(0).at(0).toBool(), row.outside);
    }
}

TEST(LoginItemManagerTest, TheDefaultSwitchWorksTheUsersAutostartFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", root.path().toUtf8());
    const QString entry = root.filePath(u"autostart/tarvolintimer.desktop"_s);
    // Another tool switched our entry off.
    QDir().mkpath(root.filePath(u"autostart"_s));
    {
        QFile file(entry);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\nExec=/usr/bin/x\nX-GNOME-Autostart-enabled=false\n");
    }

    LoginItemManager manager;
    EXPECT_FALSE(manager.isEnabled());
    manager.setEnabled(true);
    EXPECT_TRUE(manager.isEnabled());
    EXPECT_TRUE(XdgAutostartControl().isRegistered());
    manager.setEnabled(false);
    EXPECT_FALSE(manager.isEnabled());
    EXPECT_FALSE(QFile::exists(entry));

    qputenv("XDG_CONFIG_HOME", old);
}

} // namespace
