// What a screen reader reads of the real program, from the outside: the program on a display and buses of
// the test's own, with the accessibility bus up, read over AT-SPI by Debian's pyatspi as a screen reader
// such as Orca reads it.
// Each screen is walked in English and in Japanese and checked against a table of what its elements must
// say (role, name, value, states); keyboard moves must be announced. A text picture of every tree read goes
// to the build's test artifacts (accessibility-<screen>-<language>.txt).
#include "ProgramFixture.h"
#include "ScreenReader.h"

#include "shell/RightClickMenu.h"
#include "support/TestPanelHost.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <vector>

namespace {

enum class Language { en, ja };

const char* code(Language language) {
    return language == Language::en ? "en" : "ja";
}

// A text in both languages; no Japanese means the same in both. A "*" matches any run of characters (a
// clock time, a ticking count).
struct Words {
    const char* en = nullptr;
    const char* ja = nullptr;

    QString in(Language language) const {
        return QString::fromUtf8(language == Language::ja && ja ? ja : en);
    }
    bool matches(const QString& heard, Language language) const {
        const QString expected = in(language);
        if (!expected.contains(u'*')) {
            return heard == expected;
        }
        const QString pattern =
            QRegularExpression::escape(expected).replace(QStringLiteral("\\*"), QStringLiteral(".*"));
        return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(heard).hasMatch();
    }
};

// What a screen reader must hear of one element, found by its role and name.
struct Reading {
    const char* role;
    Words name;
    std::optional<Words> value = std::nullopt;       // the element's text; none: not checked
    std::optional<Words> description = std::nullopt; // none: not checked
    std::vector<const char*> states = {};            // states it must have
    std::vector<const char*> notStates = {};         // states it must not have
    int children = -1;                               // children a reader can walk into; -1: not checked
};

// A change a screen reader must hear: focus landing on an element, a selection, a switch.
struct Heard {
    const char* state; // "focused", "selected", "checked"
    bool on;
    const char* role;
    Words name;
};

// An element that must not be read at all.
struct Unread {
    const char* role;
    Words name;
};

QString describe(const AccessibleNode& node) {
    QStringList states = node.states;
    states.removeAll(QStringLiteral("enabled"));
    states.removeAll(QStringLiteral("visible"));
    if (!states.removeAll(QStringLiteral("showing"))) {
        states << QStringLiteral("(not showing)");
    }
    return QStringLiteral("%1 '%2' value=%3 description='%4' states=[%5] children=%6 at %7")
        .arg(node.role, node.name,
             node.value ? QLatin1Char('\'') + *node.value + QLatin1Char('\'') : QStringLiteral("none"),
             node.description, states.join(u','))
        .arg(node.children)
        .arg(node.path);
}

// Why the node is not what the row says; empty when it is.
QString mismatch(const Reading& row, const AccessibleNode& node, Language language) {
    QStringList wrong;
    if (row.value && !(node.value && row.value->matches(*node.value, language))) {
        wrong << QStringLiteral("value should be '%1'").arg(row.value->in(language));
    }
    if (row.description && !row.description->matches(node.description, language)) {
        wrong << QStringLiteral("description should be '%1'").arg(row.description->in(language));
    }
    for (const char* state : row.states) {
        if (!node.states.contains(QLatin1String(state))) {
            wrong << QStringLiteral("should be %1").arg(QLatin1String(state));
        }
    }
    for (const char* state : row.notStates) {
        if (node.states.contains(QLatin1String(state))) {
            wrong << QStringLiteral("should not be %1").arg(QLatin1String(state));
        }
    }
    if (row.children >= 0 && node.children != row.children) {
        wrong << QStringLiteral("should have %1 children").arg(row.children);
    }
    return wrong.join(QStringLiteral("; "));
}

class AccessibilityDesktopTest : public ProgramFixture {
protected:
    std::unique_ptr<AccessibilityBus> bus;
    std::unique_ptr<Program> program;
    std::unique_ptr<ScreenReader> reader;

    AccessibilityDesktopTest() : ProgramFixture({QStringLiteral("xdotool")}) {}

    void SetUp() override {
        // A missing tool fails in CI (where scripts/deps.sh --tests installs them) and skips elsewhere.
        if (const QString missing = missingReaderTools(); !missing.isEmpty()) {
            TT_SKIP_OR_FAIL("not installed (scripts/deps.sh --tests installs it): " << missing.toStdString());
        }
        ProgramFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        bus = std::make_unique<AccessibilityBus>();
        ASSERT_TRUE(bus->start(environment(), newConnection(QStringLiteral("a11y"))))
            << "the accessibility bus did not come up";
    }

    void TearDown() override {
        reader.reset();
        if (program) {
            program->kill();
        }
        bus.reset();
    }

    static QString missingReaderTools() {
        QStringList missing;
        if (!QFileInfo(AccessibilityBus::launcherPath()).isExecutable()) {
            missing << QStringLiteral("at-spi2-core");
        }
        QProcess python;
        python.start(ScreenReader::python(), {QStringLiteral("-c"), QStringLiteral("import pyatspi")});
        if (!python.waitForFinished(15'000) || python.exitStatus() != QProcess::NormalExit ||
            python.exitCode() != 0) {
            missing << QStringLiteral("python3-pyatspi");
        }
        if (!missingTools({QStringLiteral("xdotool")}).isEmpty()) {
            missing << QStringLiteral("xdotool");
        }
        return missing.join(QStringLiteral(", "));
    }

    QProcessEnvironment readerEnvironment() const {
        QProcessEnvironment env = environment();
        // Qt exports its tree only for a running screen reader, unless told to always.
        env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        return env;
    }

    // Starts the program and its reader; returns once the program's windows are read.
    void launch() {
        program = std::make_unique<Program>();
        program->start(readerEnvironment());
        ASSERT_TRUE(program->waitFor(kReady)) << program->log().toStdString();
        reader = std::make_unique<ScreenReader>();
        ASSERT_TRUE(reader->start(readerEnvironment(), program->processId())) << "the reader did not start";
        ASSERT_TRUE(QTest::qWaitFor([this] { return !reader->windows().isEmpty(); }, kWaitMs))
            << "the program never showed up on the accessibility bus: " << reader->error().toStdString();
    }

    // The settings tab's language chips switch the whole program to Japanese.
    void chooseJapanese() {
        ASSERT_NO_FATAL_FAILURE(press("page tab", {"Settings"}, Language::en));
        ASSERT_NO_FATAL_FAILURE(press("list item", {"日本語"}, Language::en));
        ASSERT_TRUE(reader->waitFor(QStringLiteral("heading"), QStringLiteral("システム")));
    }

    // One sound of the user's own in the library, as an import leaves it: a short silent WAV and its entry.
    void seedUserSound() {
        const QDir dir(
            home.filePath(QStringLiteral("data/TarvolinTimer/com.dellowar.tarvolintimer/UserSounds")));
        ASSERT_TRUE(dir.mkpath(QStringLiteral(".")));
        QFile wav(dir.filePath(QStringLiteral("bell.wav")));
        ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
        const quint32 samples = 800;
        QByteArray header;
        const auto put32 = [&header](quint32 v) {
            for (int i = 0; i < 4; ++i) {
                header.append(char((v >> (8 * i)) & 0xff));
            }
        };
        const auto put16 = [&header](quint16 v) {
            header.append(char(v & 0xff));
            header.append(char(v >> 8));
        };
        header.append("RIFF");
        put32(36 + 2 * samples);
        header.append("WAVEfmt ");
        put32(16);
        put16(1);     // PCM
        put16(1);     // mono
        put32(8000);  // samples a second
        put32(16000); // bytes a second
        put16(2);     // bytes a frame
        put16(16);    // bits a sample
        header.append("data");
        put32(2 * samples);
        wav.write(header);
        wav.write(QByteArray(int(2 * samples), '\0'));
        QFile index(dir.filePath(QStringLiteral("user_sounds.json")));
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
        index.write(R"([{"uid":"BELL","name":"Morning Bell","filename":"bell.wav"}])");
    }

    // Presses an element the way a screen reader user does, through its action.
    void press(const char* role, const Words& name, Language language) {
        // Tried again for a while: an element rebuilt between finding and pressing it refuses the press.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return reader->press(QString::fromLatin1(role), name.in(language)); }, 5000))
            << "cannot press " << role << " '" << name.in(language).toStdString() << "' "
            << reader->error().toStdString();
    }

    void waitFor(const char* role, const Words& name, Language language) {
        ASSERT_TRUE(reader->waitFor(QString::fromLatin1(role), name.in(language)))
            << "never read: " << role << " '" << name.in(language).toStdString() << "'";
    }

    // Keys typed at the window of that size, which first takes the keyboard.
    void keys(const QString& windowSize, const QStringList& names) {
        const QString window = waitForWindow(windowSize);
        ASSERT_FALSE(window.isEmpty()) << "no window of " << windowSize.toStdString();
        ASSERT_TRUE(xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}));
        for (const QString& name : names) {
            ASSERT_TRUE(xdotool({QStringLiteral("key"), name}));
            QTest::qWait(150);
        }
    }

    // Reads every visible window, saves the tree among the artifacts and checks it against the table.
    void expectReads(const QString& screen, Language language, const QList<Reading>& table,
                     const QList<Unread>& unread = {}) {
        const QList<AccessibleNode> nodes = reader->everything();
        ASSERT_FALSE(nodes.isEmpty()) << reader->error().toStdString();
        save(screen + u'-' + QLatin1String(code(language)), nodes);
        for (const Reading& row : table) {
            const QString name = row.name.in(language);
            QList<const AccessibleNode*> found;
            for (const AccessibleNode& node : nodes) {
                if (node.role == QLatin1String(row.role) && row.name.matches(node.name, language)) {
                    found << &node;
                }
            }
            QString problem;
            if (found.isEmpty()) {
                QStringList sameRole;
                for (const AccessibleNode& node : nodes) {
                    if (node.role == QLatin1String(row.role)) {
                        sameRole << u'\'' + node.name + u'\'';
                    }
                }
                problem = QStringLiteral("not read; %1 elements read: %2")
                              .arg(QLatin1String(row.role), sameRole.join(QStringLiteral(", ")));
            } else {
                // Several elements may share a role and name (two Stop buttons): one must read as the row
                // says.
                const auto reads = [&](const AccessibleNode* node) {
                    return mismatch(row, *node, language).isEmpty();
                };
                if (std::none_of(found.cbegin(), found.cend(), reads)) {
                    problem = mismatch(row, *found.first(), language) + QStringLiteral(" — heard ") +
                              describe(*found.first());
                }
            }
            const QString where =
                QStringLiteral("[%1, %2] %3 '%4': ")
                    .arg(screen, QLatin1String(code(language)), QLatin1String(row.role), name);
            EXPECT_TRUE(problem.isEmpty()) << where.toStdString() << problem.toStdString();
        }
        for (const Unread& row : unread) {
            for (const AccessibleNode& node : nodes) {
                EXPECT_FALSE(node.role == QLatin1String(row.role) && row.name.matches(node.name, language))
                    << "[" << screen.toStdString() << ", " << code(language)
                    << "] must not be read: " << describe(node).toStdString();
            }
        }
    }

    // The announcements since the last call must include these, in this order (others may come between).
    // They travel on their own: the ones not heard yet are waited for a little.
    void expectAnnounced(const QString& screen, Language language, const QList<Heard>& expected) {
        QList<Announcement> heard;
        const auto matched = [&] {
            qsizetype at = 0;
            qsizetype count = 0;
            for (const Heard& one : expected) {
                bool found = false;
                for (; at < heard.size() && !found; ++at) {
                    const Announcement& a = heard.at(at);
                    found = a.state == QLatin1String(one.state) && a.on == one.on &&
                            a.role == QLatin1String(one.role) && one.name.matches(a.name, language);
                }
                if (!found) {
                    break;
                }
                ++count;
            }
            return count;
        };
        [[maybe_unused]] const bool came = QTest::qWaitFor(
            [&] {
                heard << reader->announcements();
                return matched() == expected.size();
            },
            3000);
        const qsizetype count = matched();
        if (count == expected.size()) {
            return;
        }
        QStringList told;
        for (const Announcement& a : heard) {
            told << QStringLiteral("%1 '%2' %3 %4")
                        .arg(a.role, a.name, a.state, a.on ? QStringLiteral("on") : QStringLiteral("off"));
        }
        const Heard& missing = expected.at(count);
        ADD_FAILURE() << "[" << screen.toStdString() << ", " << code(language)
                      << "] not announced (in order): " << missing.role << " '"
                      << missing.name.in(language).toStdString() << "' " << missing.state
                      << (missing.on ? " on" : " off")
                      << "; heard: " << told.join(QStringLiteral("; ")).toStdString();
    }

    // A text picture of the tree, for people to look at.
    static void save(const QString& name, const QList<AccessibleNode>& nodes) {
        QDir().mkpath(QStringLiteral(TT_ARTIFACTS_DIR));
        QFile file(QStringLiteral(TT_ARTIFACTS_DIR) + QStringLiteral("/accessibility-") + name +
                   QStringLiteral(".txt"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return;
        }
        for (const AccessibleNode& node : nodes) {
            if (node.role == QLatin1String("filler") && node.name.isEmpty()) {
                continue;
            }
            file.write((describe(node) + u'\n').toUtf8());
        }
    }
};

// The popover's size, its window when no panel shows the program's item.
const QString kPopover = QStringLiteral("440x720");

// The tables: what each element's accessibility label, value and states must be; formats follow the in-app
// language.
// The tab bar, as every popover screen has it (the timers tab chosen).
const QList<Reading> kTabBar = {
    {.role = "page tab list", .name = {""}, .children = 3},
    {.role = "page tab", .name = {"Timer"}, .description = Words{""}, .states = {"selected", "selectable"}},
    {.role = "page tab",
     .name = {"Presets"},
     .description = Words{""},
     .states = {"selectable"},
     .notStates = {"selected"}},
    {.role = "page tab",
     .name = {"Settings"},
     .description = Words{""},
     .states = {"selectable"},
     .notStates = {"selected"}},
};

// The hero card's dial block is one element with the time and caption as its value; its end line is read
// beside it while the timer runs.
const QList<Reading> kTimersIdle = {
    {.role = "label", .name = {"25:00"}, .value = Words{"25:00, READY", "25:00、READY"}, .children = 0},
    {.role = "push button", .name = {"Start", "開始"}},
    {.role = "push button", .name = {"Review timer", "タイマーを確認"}},
    {.role = "push button", .name = {"Insert h", "「h」を入力"}},
    {.role = "list item",
     .name = {"Review the 25-minute 25m timer", "25分の25mタイマーを確認"},
     .states = {"selectable"},
     .notStates = {"selected"}},
    {.role = "list item",
     .name = {"Review the 60-minute 60m timer", "60分の60mタイマーを確認"},
     .states = {"selectable"}},
    {.role = "push button",
     .name = {"Start Pomodoro", "ポモドーロを開始"},
     .value = Words{"25m focus, 5m break", "集中25分・休憩5分"},
     .description = Words{""}},
    {.role = "push button", .name = {"More timer options", "タイマーのその他のオプション"}},
};
// The empty hero's Stop and Skip are not there to press, nor is there an end to read.
const QList<Unread> kIdleUnread = {
    {"push button", {"Stop"}}, {"push button", {"Skip"}}, {"label", {"Ends at *", "終了予定 *"}}};

const QList<Reading> kPreparation = {
    {.role = "label", .name = {"Ready to start?", "スタートしますか？"}},
    // The dial group: the request's title, the length as its value, nothing inside read apart.
    {.role = "label", .name = {"25m"}, .value = Words{"25:00"}, .description = Words{""}, .children = 0},
    {.role = "text",
     .name = {""},
     .value = Words{"25m"},
     .description = Words{"What are you focusing on?", "何に集中しますか？"}},
    {.role = "push button", .name = {"Subtract 5 minutes", "5分減らす"}},
    {.role = "push button", .name = {"Add 5 minutes", "5分追加"}},
    {.role = "label", .name = {"Ends at *", "終了予定 *"}},
    {.role = "push button", .name = {"Back", "戻る"}},
    {.role = "push button", .name = {"Queue", "待機に追加"}},
    {.role = "push button", .name = {"Start", "開始"}},
};
// While the card asks, the surface under it is not read.
const QList<Unread> kUnderTheCard = {
    {"page tab", {"Timer"}},
    {"page tab", {"Settings"}},
    {"list item", {"Review the 45-minute 45m timer", "45分の45mタイマーを確認"}},
    {"push button", {"Start Pomodoro", "ポモドーロを開始"}},
};
// Two Tabs from Start: the title field, then the first adjustment button.
const QList<Heard> kPreparationFocus = {
    {"focused", true, "text", {""}},
    {"focused", true, "push button", {"Subtract 5 minutes", "5分減らす"}},
};

const QList<Reading> kTimersRunning = {
    {.role = "label", .name = {"25m"}, .value = Words{"*, FOCUS", "*、FOCUS"}, .children = 0},
    {.role = "label", .name = {"Ends at *", "終了予定 *"}},
    {.role = "push button", .name = {"Pause", "一時停止"}},
    {.role = "push button", .name = {"Stop"}},
    {.role = "push button", .name = {"Skip"}},
    {.role = "list item",
     .name = {"Review the 25-minute 25m timer", "25分の25mタイマーを確認"},
     .states = {"selected"}},
};
// An ordinary timer running hides the Pomodoro area.
const QList<Unread> kHiddenWhileRunning = {{"push button", {"Start Pomodoro", "ポモドーロを開始"}}};

const QList<Reading> kPomodoro = {
    {.role = "label", .name = {"Focus"}, .value = Words{"*, FOCUS", "*、FOCUS"}, .children = 0},
    {.role = "list item",
     .name = {"Focus, 25 minutes, step 1", "集中、25分、ステップ1"},
     .description = Words{""},
     .states = {"selected", "selectable"}},
    {.role = "list item",
     .name = {"Break, 5 minutes, step 2", "休憩、5分、ステップ2"},
     .states = {"selectable"},
     .notStates = {"selected"}},
    {.role = "list item",
     .name = {"Focus, 25 minutes, step 3", "集中、25分、ステップ3"},
     .notStates = {"selected"}},
    {.role = "list item",
     .name = {"Break, 5 minutes, step 4", "休憩、5分、ステップ4"},
     .notStates = {"selected"}},
    {.role = "push button",
     .name = {"Add or manage Pomodoro sequence", "ポモドーロのシーケンスを追加・管理"}},
    {.role = "push button", .name = {"Stop", "停止"}},
};

const QList<Reading> kPresets = {
    {.role = "label", .name = {"Presets", "プリセット"}},
    {.role = "list item",
     .name = {"Pomodoro, 25 · 5 · 25 · 5", "Pomodoro、25 · 5 · 25 · 5"},
     .description = Words{"Use this sequence", "このシーケンスを使う"},
     .states = {"selectable"},
     .notStates = {"selected"},
     .children = 1},
    {.role = "push button", .name = {"Options for sequence Pomodoro", "シーケンス Pomodoro のオプション"}},
    {.role = "list item",
     .name = {"1 Focus, 25m", "1 Focus, 25分"},
     .states = {"selectable"},
     .notStates = {"selected"}},
    {.role = "push button", .name = {"New Sequence", "新しいシーケンス"}},
    {.role = "list item",
     .name = {"25m, 25:00", "25m、25:00"},
     .description = Words{"Select to review before starting", "選ぶと開始前に確認できます"},
     .states = {"selectable"},
     .notStates = {"selected"},
     .children = 2},
    {.role = "push button", .name = {"Assign a key to 25m", "25m にキーを割り当てる"}},
    {.role = "push button", .name = {"Options for preset 25m", "プリセット 25m のオプション"}},
    {.role = "push button", .name = {"Add Preset", "プリセットを追加"}},
};
// A row's texts are in its label, not read again one by one.
const QList<Unread> kRowTexts = {
    {"label", {"25m"}}, {"filler", {"25:00"}}, {"label", {"Deep Work"}}, {"label", {"50 · 10 · 50"}}};
// Down twice: the second sequence row.
const QList<Reading> kPresetsSelection = {
    {.role = "list item",
     .name = {"Deep Work, 50 · 10 · 50", "Deep Work、50 · 10 · 50"},
     .states = {"selected", "selectable"}},
    {.role = "list item",
     .name = {"Pomodoro, 25 · 5 · 25 · 5", "Pomodoro、25 · 5 · 25 · 5"},
     .notStates = {"selected"}},
};
const QList<Heard> kPresetsSelectionHeard = {
    {"selected", true, "list item", {"Pomodoro, 25 · 5 · 25 · 5", "Pomodoro、25 · 5 · 25 · 5"}},
    {"selected", false, "list item", {"Pomodoro, 25 · 5 · 25 · 5", "Pomodoro、25 · 5 · 25 · 5"}},
    {"selected", true, "list item", {"Deep Work, 50 · 10 · 50", "Deep Work、50 · 10 · 50"}},
};

const QList<Reading> kPresetEditor = {
    {.role = "label", .name = {"New Preset", "新しいプリセット"}},
    {.role = "text",
     .name = {""},
     .value = Words{""},
     .description = Words{"Focus Session", "集中セッション"}},
    {.role = "text", .name = {""}, .value = Words{"25"}},
    {.role = "push button", .name = {"Cancel", "キャンセル"}},
    {.role = "push button", .name = {"Add", "追加"}},
};
// Two Tabs from the name field: the length field, then Cancel.
const QList<Heard> kPresetEditorFocus = {
    {"focused", true, "text", {""}},
    {"focused", true, "push button", {"Cancel", "キャンセル"}},
};

const QList<Reading> kSequenceEditor = {
    {.role = "label", .name = {"New Sequence", "新しいシーケンス"}},
    {.role = "text", .name = {""}, .description = Words{"Pomodoro", "ポモドーロ"}},
    {.role = "push button", .name = {"Add Step", "ステップを追加"}},
    {.role = "push button", .name = {"Focus"}},
    {.role = "push button", .name = {"Break"}},
    // A step's minutes: one stepper named by its value, not two nameless buttons.
    {.role = "spin button", .name = {"25 min", "25 分"}, .children = 0},
    {.role = "push button", .name = {"Move step up", "ステップを上へ"}},
    {.role = "push button", .name = {"Move step down", "ステップを下へ"}},
    {.role = "push button", .name = {"Delete step", "ステップを削除"}},
};

// The settings tab in its first state; the language chip's rows name the chosen language first.
const QList<Reading> kSettings = {
    {.role = "heading", .name = {"General", "一般"}},
    {.role = "heading", .name = {"Pomodoro", "ポモドーロ"}},
    {.role = "heading", .name = {"Appearance", "外観"}},
    {.role = "heading", .name = {"System", "システム"}},
    // Switch cards: one check box each, named by the title, no On/Off words.
    {.role = "check box",
     .name = {"Launch at Login", "ログイン時に起動"},
     .description = Words{""},
     .notStates = {"checked"},
     .children = 0},
    {.role = "check box",
     .name = {"Long Break", "長い休憩"},
     .states = {"checked", "focusable"},
     .children = 0},
    {.role = "check box", .name = {"Play Sounds", "サウンドを鳴らす"}, .states = {"checked"}, .children = 0},
    {.role = "check box",
     .name = {"Show on Launch", "起動時に表示"},
     .notStates = {"checked"},
     .children = 0},
    {.role = "check box", .name = {"Show Task Name", "タスク名を表示"}, .states = {"checked"}, .children = 0},
    // Picker options: items, the chosen one selected.
    {.role = "list item",
     .name = {"Key behavior Start ↔ Stop", "キーの動作 開始 ↔ 停止"},
     .states = {"selected", "selectable"}},
    {.role = "list item",
     .name = {"Key behavior Always Start New", "キーの動作 毎回新しく開始"},
     .states = {"selectable"},
     .notStates = {"selected"}},
    {.role = "list item", .name = {"English", "日本語"}, .states = {"selected"}},
    {.role = "list item", .name = {"日本語", "English"}, .states = {"selectable"}, .notStates = {"selected"}},
    {.role = "list item", .name = {"Orange"}, .states = {"selected"}},
    {.role = "list item", .name = {"Cream"}, .states = {"selectable"}, .notStates = {"selected"}},
    {.role = "list item",
     .name = {"Choose a custom accent color", "好きなアクセントカラーを選ぶ"},
     .notStates = {"selected"}},
    {.role = "list item", .name = {"Time wording Japanese", "時刻の表記 Japanese"}, .states = {"selected"}},
    {.role = "list item", .name = {"Time wording English", "時刻の表記 English"}, .notStates = {"selected"}},
    {.role = "list item", .name = {"Time", "時間"}, .states = {"selected"}},
    {.role = "list item", .name = {"Icon + Time", "アイコン + 時間"}, .notStates = {"selected"}},
    {.role = "list item", .name = {"Wind-up", "ゼンマイ"}, .states = {"selected"}},
    {.role = "list item",
     .name = {"Alarm display Target + Remaining", "アラーム表示 Target + Remaining"},
     .states = {"selected"}},
    {.role = "list item",
     .name = {"Remaining detail Seconds", "残り時間の細かさ Seconds"},
     .states = {"selected"}},
    // Sound cards: the purpose, then the chosen sound as the value.
    {.role = "push button",
     .name = {"Timer complete", "タイマー完了"},
     .value = Words{"チャイム"},
     .description = Words{""}},
    {.role = "push button", .name = {"Alarm", "アラーム"}, .value = Words{"デジタルアラーム"}},
    // The live preview: the label's painted time, the dial's texts, the floating card with its value.
    {.role = "label", .name = {"* まで"}},
    {.role = "label", .name = {"FOCUS"}},
    {.role = "label",
     .name = {"TarvolinTimer timer"},
     .value = Words{"25:00 Deep work", "25:00 集中タイム"},
     .description = Words{""}},
    {.role = "push button", .name = {"Watch onboarding again", "オンボーディングをもう一度見る"}},
};
// A card's title is its name; it is not read again inside.
const QList<Unread> kSettingsUnread = {{"label", {"Launch at Login", "ログイン時に起動"}},
                                       {"label", {"Show Task Name", "タスク名を表示"}}};
const QList<Heard> kSwitchFocus = {
    {"focused", true, "check box", {"Long Break", "長い休憩"}},
    {"focused", true, "text", {""}},
};
const QList<Heard> kSwitchHeard = {
    {"checked", true, "check box", {"Show on Launch", "起動時に表示"}},
    {"checked", false, "check box", {"Show on Launch", "起動時に表示"}},
};

const QList<Reading> kGallery = {
    {.role = "label", .name = {"Choose the timer-complete sound", "タイマー完了のサウンドを選ぶ"}},
    {.role = "push button", .name = {"Close", "閉じる"}},
    {.role = "list item", .name = {"チャイム"}, .states = {"selected", "selectable"}},
    {.role = "list item", .name = {"デジタルアラーム"}, .states = {"selectable"}, .notStates = {"selected"}},
    // A sound of the user's: its painted line read as its value, its "…" a button of its own.
    {.role = "list item",
     .name = {"Morning Bell"},
     .value = Words{"Plays in full", "最後まで再生"},
     .states = {"focused"},
     .notStates = {"selected"},
     .children = 1},
    {.role = "push button",
     .name = {"Options for sound Morning Bell", "サウンド Morning Bell のオプション"},
     .states = {"focusable"}},
    {.role = "push button", .name = {"Add Sound", "サウンドを追加"}},
};
// Shift+Tab three times from the gallery's first control: the add card, the "…", the sound's card.
const QList<Heard> kGalleryFocus = {
    {"focused", true, "push button", {"Add Sound", "サウンドを追加"}},
    {"focused",
     true,
     "push button",
     {"Options for sound Morning Bell", "サウンド Morning Bell のオプション"}},
    {"focused", true, "list item", {"Morning Bell"}},
};

// The floating card: its name and the time with its task as written in every language.
const QList<Reading> kFloating = {
    {.role = "label",
     .name = {"TarvolinTimer timer"},
     .value = Words{"20:00 Tea"},
     .description = Words{""},
     .children = 1},
    {.role = "push button", .name = {"Close"}},
};
const QList<Reading> kQuickAddCard = {
    {.role = "label", .name = {"Ready to start?", "スタートしますか？"}},
    {.role = "label",
     .name = {"Timer preview", "タイマーのプレビュー"},
     .value = Words{"25:00"},
     .children = 0},
    {.role = "push button", .name = {"Subtract 5 minutes", "5分減らす"}},
    {.role = "push button", .name = {"Add 5 minutes", "5分追加"}},
    {.role = "push button", .name = {"Start", "開始"}, .states = {"focused"}},
};
const QList<Reading> kQuickAddEntry = {
    {.role = "label", .name = {"Add a timer", "タイマーを追加"}},
    {.role = "text", .name = {""}, .states = {"focused", "editable"}},
    {.role = "push button", .name = {"25 min", "25 分"}},
};

// The first page, before a language is chosen: in Japanese.
const QList<Reading> kOnboardingLanguage = {
    {.role = "label", .name = {"Choose your language", "言語を選んでください"}},
    {.role = "list", .name = {""}, .children = 2},
    {.role = "list item", .name = {"日本語"}, .states = {"selected", "selectable"}},
    {.role = "list item", .name = {"English"}, .states = {"selectable"}, .notStates = {"selected"}},
};
const QList<Reading> kOnboardingQuickStart = {
    {.role = "push button", .name = {"Back", "戻る"}},
    {.role = "label", .name = {"Step 1 of 3", "ステップ 1 / 3"}},
    {.role = "label", .name = {"Your one-key timer", "ワンキータイマー"}},
    // The quick dial's length is read; the dial is not.
    {.role = "label", .name = {"25:00"}, .children = 0},
    // No trait marks the chosen chip.
    {.role = "push button",
     .name = {"Review a 25-minute timer", "25分のタイマーを確認"},
     .notStates = {"selected"}},
    {.role = "push button", .name = {"Review a 5-minute timer", "5分のタイマーを確認"}},
    {.role = "push button", .name = {"Next", "次へ"}},
    {.role = "push button", .name = {"Skip onboarding", "オンボーディングをスキップ"}},
};
const QList<Heard> kOnboardingQuickStartFocus = {
    {"focused", true, "push button", {"Review a 5-minute timer", "5分のタイマーを確認"}},
};
const QList<Reading> kOnboardingInput = {
    {.role = "label", .name = {"Step 2 of 3", "ステップ 2 / 3"}},
    {.role = "label", .name = {"1h30m"}},
    {.role = "label", .name = {"1 hour 30 minute timer", "1時間30分のタイマー"}},
};
const QList<Reading> kOnboardingDone = {
    {.role = "label", .name = {"Step 3 of 3", "ステップ 3 / 3"}},
    {.role = "label", .name = {"You're all set", "準備ができました"}},
    {.role = "push button", .name = {"Start selected timer", "選んだタイマーを開始"}},
};
// The ready dial is a picture: its length is not read.
const QList<Unread> kReadyDialUnread = {{"label", {"25:00"}}};

const Words kSettingsTab{"Settings"};
const Words kTimersTab{"Timer"};
const Words kPresetsTab{"Presets"};

} // namespace

TEST_F(AccessibilityDesktopTest, TheTimersTabItsCardAndItsPomodoroAreaReadInBothLanguages) {
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    ASSERT_NO_FATAL_FAILURE(launch());
    for (Language language : {Language::en, Language::ja}) {
        SCOPED_TRACE(code(language));
        if (language == Language::ja) {
            ASSERT_NO_FATAL_FAILURE(chooseJapanese());
            ASSERT_NO_FATAL_FAILURE(press("page tab", kTimersTab, language));
        }
        ASSERT_NO_FATAL_FAILURE(waitFor("push button", {"Start Pomodoro", "ポモドーロを開始"}, language));
        expectReads(QStringLiteral("timers-idle"), language, kTabBar + kTimersIdle, kIdleUnread);

        // A chip opens the card, which alone is read; Tab walks its controls and each is announced.
        ASSERT_NO_FATAL_FAILURE(
            press("list item", {"Review the 25-minute 25m timer", "25分の25mタイマーを確認"}, language));
        ASSERT_NO_FATAL_FAILURE(waitFor("label", {"Ready to start?", "スタートしますか？"}, language));
        reader->announcements();
        ASSERT_NO_FATAL_FAILURE(keys(kPopover, {QStringLiteral("Tab"), QStringLiteral("Tab")}));
        expectReads(QStringLiteral("preparation"), language, kPreparation, kUnderTheCard);
        expectAnnounced(QStringLiteral("preparation"), language, kPreparationFocus);

        // Started, the hero counts down with its end line.
        ASSERT_NO_FATAL_FAILURE(press("push button", {"Start", "開始"}, language));
        ASSERT_NO_FATAL_FAILURE(waitFor("push button", {"Pause", "一時停止"}, language));
        expectReads(QStringLiteral("timers-running"), language, kTabBar + kTimersRunning,
                    kHiddenWhileRunning);
        ASSERT_NO_FATAL_FAILURE(press("push button", {"Stop"}, language));

        // The Pomodoro card, its current step selected.
        ASSERT_NO_FATAL_FAILURE(press("push button", {"Start Pomodoro", "ポモドーロを開始"}, language));
        ASSERT_NO_FATAL_FAILURE(waitFor("label", {"Ready to start?", "スタートしますか？"}, language));
        ASSERT_NO_FATAL_FAILURE(press("push button", {"Start", "開始"}, language));
        ASSERT_NO_FATAL_FAILURE(
            waitFor("list item", {"Focus, 25 minutes, step 1", "集中、25分、ステップ1"}, language));
        expectReads(QStringLiteral("pomodoro"), language, kTabBar + kPomodoro);
        // The hero's Stop ends the phase; the card's own Stop ends the session if it is still on.
        ASSERT_NO_FATAL_FAILURE(press("push button", {"Stop"}, language));
        const Words startPomodoro{"Start Pomodoro", "ポモドーロを開始"};
        if (!reader->waitFor(QStringLiteral("push button"), startPomodoro.in(language), 3000)) {
            ASSERT_NO_FATAL_FAILURE(press("push button", {"Stop", "停止"}, language));
        }
        ASSERT_NO_FATAL_FAILURE(waitFor("push button", {"Start Pomodoro", "ポモドーロを開始"}, language));
    }
    stop(*program);
}

TEST_F(AccessibilityDesktopTest, ThePresetsTabAndItsEditorsReadInBothLanguages) {
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    ASSERT_NO_FATAL_FAILURE(launch());
    for (Language language : {Language::en, Language::ja}) {
        SCOPED_TRACE(code(language));
        if (language == Language::ja) {
            ASSERT_NO_FATAL_FAILURE(chooseJapanese());
        }
        ASSERT_NO_FATAL_FAILURE(press("page tab", kPresetsTab, language));
        ASSERT_NO_FATAL_FAILURE(waitFor("push button", {"Add Preset", "プリセットを追加"}, language));
        expectReads(QStringLiteral("presets"), language, kPresets, kRowTexts);

        // The keyboard selects rows: the selection is announced and read.
        reader->announcements();
        ASSERT_NO_FATAL_FAILURE(keys(kPopover, {QStringLiteral("Down"), QStringLiteral("Down")}));
        expectReads(QStringLiteral("presets-selection"), language, kPresetsSelection);
        expectAnnounced(QStringLiteral("presets-selection"), language, kPresetsSelectionHeard);
        ASSERT_NO_FATAL_FAILURE(keys(kPopover, {QStringLiteral("Escape")}));

        ASSERT_NO_FATAL_FAILURE(press("push button", {"Add Preset", "プリセットを追加"}, language));
        ASSERT_NO_FATAL_FAILURE(waitFor("label", {"New Preset", "新しいプリセット"}, language));
        reader->announcements();
        ASSERT_NO_FATAL_FAILURE(keys(kPopover, {QStringLiteral("Tab"), QStringLiteral("Tab")}));
        expectReads(QStringLiteral("preset-editor"), language, kPresetEditor);
        expectAnnounced(QStringLiteral("preset-editor"), language, kPresetEditorFocus);
        ASSERT_NO_FATAL_FAILURE(keys(kPopover, {QStringLiteral("Escape")}));

        ASSERT_NO_FATAL_FAILURE(press("push button", {"New Sequence", "新しいシーケンス"}, language));
        ASSERT_NO_FATAL_FAILURE(waitFor("label", {"New Sequence", "新しいシーケンス"}, language));
        expectReads(QStringLiteral("sequence-editor"), language, kSequenceEditor);
        ASSERT_NO_FATAL_FAILURE(keys(kPopover, {QStringLiteral("Escape")}));
    }
    stop(*program);
}

TEST_F(AccessibilityDesktopTest, TheSettingsFourCategoriesAndTheSoundGalleryReadInBothLanguages) {
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    ASSERT_NO_FATAL_FAILURE(seedUserSound());
    ASSERT_NO_FATAL_FAILURE(launch());
    for (Language language : {Language::en, Language::ja}) {
        SCOPED_TRACE(code(language));
        if (language == Language::ja) {
            ASSERT_NO_FATAL_FAILURE(chooseJapanese());
        } else {
            ASSERT_NO_FATAL_FAILURE(press("page tab", kSettingsTab, language));
        }
        ASSERT_NO_FATAL_FAILURE(waitFor("heading", {"System", "システム"}, language));
        expectReads(QStringLiteral("settings"), language, kSettings, kSettingsUnread);

        // The keyboard moved to a switch card lands on its switch and is announced on the card; Tab goes on
        // to the next control and is announced there.
        reader->announcements();
        ASSERT_TRUE(reader->focus(QStringLiteral("check box"), Words{"Long Break", "長い休憩"}.in(language)));
        ASSERT_NO_FATAL_FAILURE(keys(kPopover, {QStringLiteral("Tab")}));
        expectAnnounced(QStringLiteral("settings"), language, kSwitchFocus);

        // A switch card pressed as a whole announces its new state.
        reader->announcements();
        ASSERT_NO_FATAL_FAILURE(press("check box", {"Show on Launch", "起動時に表示"}, language));
        ASSERT_NO_FATAL_FAILURE(press("check box", {"Show on Launch", "起動時に表示"}, language));
        QTest::qWait(300);
        expectAnnounced(QStringLiteral("settings"), language, kSwitchHeard);

        ASSERT_NO_FATAL_FAILURE(press("push button", {"Timer complete", "タイマー完了"}, language));
        ASSERT_NO_FATAL_FAILURE(waitFor("push button", {"Add Sound", "サウンドを追加"}, language));
        reader->announcements();
        // Shift+Tab walks back round the gallery from its first control: the add card, the user sound's
        // menu, its card.
        ASSERT_NO_FATAL_FAILURE(keys(kPopover, QStringList(3, QStringLiteral("shift+Tab"))));
        expectReads(QStringLiteral("gallery"), language, kGallery);
        expectAnnounced(QStringLiteral("gallery"), language, kGalleryFocus);
        ASSERT_NO_FATAL_FAILURE(press("push button", {"Close", "閉じる"}, language));
        ASSERT_TRUE(reader->waitForGone(QStringLiteral("push button"),
                                        Words{"Add Sound", "サウンドを追加"}.in(language)));
    }
    stop(*program);
}

TEST_F(AccessibilityDesktopTest, TheFloatingWindowAndTheQuickAddPanelReadInBothLanguages) {
    startWatcher();
    TimerItem tea = TimerItem::make(QUuid::createUuid(), QStringLiteral("Tea"), 1500, TimerState::running,
                                    false, std::nullopt, std::nullopt);
    tea.remaining = 1200;
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.floating.showOnStart"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")},
                      {QStringLiteral("quorvane.activeTimers"), *TimerItem::encodeList({tea})}});
    ASSERT_NO_FATAL_FAILURE(launch());
    const QString service = waitForItemService();
    ASSERT_FALSE(service.isEmpty());
    TestPanelHost panel(newConnection(QStringLiteral("panel")), service);
    for (Language language : {Language::en, Language::ja}) {
        SCOPED_TRACE(code(language));
        if (language == Language::ja) {
            // The popover, opened from the panel item, switches the language.
            panel.call(QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
                       QStringLiteral("Activate"), {1200, 10});
            ASSERT_NO_FATAL_FAILURE(waitFor("page tab", kSettingsTab, Language::en));
            ASSERT_NO_FATAL_FAILURE(chooseJapanese());
            panel.call(QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
                       QStringLiteral("Activate"), {1200, 10});
            ASSERT_TRUE(reader->waitForGone(QStringLiteral("page tab"), QStringLiteral("Settings")));
        }
        ASSERT_NO_FATAL_FAILURE(waitFor("label", {"TarvolinTimer timer"}, language));
        expectReads(QStringLiteral("floating"), language, kFloating);

        // The panel's review entry opens the quick-add panel on its card; Escape goes to its entry step.
        const QDBusMessage reply = panel.call(
            QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("Event"),
            {RightClickMenu::quick25Id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        ASSERT_NO_FATAL_FAILURE(waitFor("label", {"Ready to start?", "スタートしますか？"}, language));
        expectReads(QStringLiteral("quick-add-card"), language, kQuickAddCard);
        const ProgramWindow quickAdd =
            waitForWindow([](const ProgramWindow& window) { return window.geometry.width() == 380; });
        ASSERT_FALSE(quickAdd.id.isEmpty());
        ASSERT_TRUE(xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), quickAdd.id}));
        ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
        ASSERT_NO_FATAL_FAILURE(waitFor("label", {"Add a timer", "タイマーを追加"}, language));
        expectReads(QStringLiteral("quick-add-entry"), language, kQuickAddEntry);
        ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
        ASSERT_TRUE(reader->waitForGone(QStringLiteral("label"),
                                        Words{"Add a timer", "タイマーを追加"}.in(language)));
    }
    stop(*program);
}

TEST_F(AccessibilityDesktopTest, TheOnboardingReadsEachPageInBothLanguages) {
    ASSERT_TRUE(QFile::remove(preferencesPath())); // a first start
    startWatcher();                                // so the guide is the only window
    ASSERT_NO_FATAL_FAILURE(launch());
    const QString guideSize = QStringLiteral("440x560");
    for (Language language : {Language::en, Language::ja}) {
        SCOPED_TRACE(code(language));
        ASSERT_NO_FATAL_FAILURE(waitFor("list item", {"English"}, language));
        if (language == Language::en) {
            expectReads(QStringLiteral("onboarding-language"), Language::ja, kOnboardingLanguage);
            ASSERT_NO_FATAL_FAILURE(press("list item", {"English"}, language));
        } else {
            ASSERT_NO_FATAL_FAILURE(press("list item", {"日本語"}, language));
        }
        ASSERT_NO_FATAL_FAILURE(
            waitFor("push button", {"Review a 25-minute timer", "25分のタイマーを確認"}, language));
        reader->announcements();
        ASSERT_NO_FATAL_FAILURE(keys(guideSize, {QStringLiteral("Tab"), QStringLiteral("Tab")}));
        expectReads(QStringLiteral("onboarding-quickStart"), language, kOnboardingQuickStart);
        expectAnnounced(QStringLiteral("onboarding-quickStart"), language, kOnboardingQuickStartFocus);
        ASSERT_NO_FATAL_FAILURE(press("push button", {"Next", "次へ"}, language));
        ASSERT_NO_FATAL_FAILURE(waitFor("label", {"1h30m"}, language));
        expectReads(QStringLiteral("onboarding-input"), language, kOnboardingInput);
        ASSERT_NO_FATAL_FAILURE(press("push button", {"Next", "次へ"}, language));
        ASSERT_TRUE(reader->waitForGone(QStringLiteral("label"), QStringLiteral("1h30m")));
        expectReads(QStringLiteral("onboarding-done"), language, kOnboardingDone, kReadyDialUnread);
        // Back to the language page, for the other language.
        for (int page = 0; page < 3; ++page) {
            ASSERT_NO_FATAL_FAILURE(press("push button", {"Back", "戻る"}, language));
            QTest::qWait(400);
        }
    }
    stop(*program);
}

// The update window of a build without a feed (the default build): the answer, and Close holding the
// keyboard; nothing to download.
const QList<Reading> kUpdateWindowNoFeed = {
    {.role = "dialog",
     .name = {"Software Update", "ソフトウェアアップデート"},
     .description =
         Words{"Couldn't check for updates. Update checks are not available in this build.",
               "アップデートを確認できませんでした。このビルドではアップデートを確認できません。"}},
    {.role = "heading", .name = {"Couldn't check for updates", "アップデートを確認できませんでした"}},
    {.role = "label",
     .name = {"Update checks are not available in this build.",
              "このビルドではアップデートを確認できません。"}},
    {.role = "push button", .name = {"Close", "閉じる"}, .states = {"focused"}},
};
const QList<Unread> kUpdateWindowUnread = {
    {"push button", {"Open Download Page", "ダウンロードページを開く"}}};

TEST_F(AccessibilityDesktopTest, CheckingForUpdatesInABuildWithoutAFeedSaysItCouldNotCheck) {
    startWatcher(); // the popover opens from the panel item, as a popover that closes when the program is
                    // left
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    // Opened from the panel item before the reader looks: until then the program shows no window.
    program = std::make_unique<Program>();
    program->start(readerEnvironment());
    ASSERT_TRUE(program->waitFor(kReady)) << program->log().toStdString();
    const QString service = waitForItemService();
    ASSERT_FALSE(service.isEmpty());
    TestPanelHost panel(newConnection(QStringLiteral("panel")), service);
    panel.call(QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
               QStringLiteral("Activate"), {1200, 10});
    reader = std::make_unique<ScreenReader>();
    ASSERT_TRUE(reader->start(readerEnvironment(), program->processId())) << "the reader did not start";
    ASSERT_NO_FATAL_FAILURE(press("page tab", kSettingsTab, Language::en));
    const Words reason = kUpdateWindowNoFeed.at(2).name;
    int answers = 0;
    for (Language language : {Language::en, Language::ja}) {
        SCOPED_TRACE(code(language));
        if (language == Language::ja) {
            // The popover is still open: the language is switched in it.
            ASSERT_NO_FATAL_FAILURE(chooseJapanese());
        }
        ASSERT_NO_FATAL_FAILURE(press("push button", {"Check for Updates", "アップデートを確認"}, language));
        ASSERT_NO_FATAL_FAILURE(waitFor("label", reason, language));
        ++answers;
        expectReads(QStringLiteral("update-window"), language, kUpdateWindowNoFeed, kUpdateWindowUnread);
        const QString logged = QStringLiteral("[UpdateCheck] Could not check for updates: notAvailable");
        EXPECT_TRUE(QTest::qWaitFor([&] { return program->count(logged) == answers; }, kWaitMs))
            << "each answer is logged once: " << program->log().toStdString();
        const ProgramWindow window =
            waitForWindow([](const ProgramWindow& w) { return w.geometry.width() == 400; });
        ASSERT_FALSE(window.id.isEmpty()) << "the update window is on screen";
        screenshot(window.id, QStringLiteral("update-window-") + QLatin1String(code(language)));
        EXPECT_EQ(windowsOfSize(kPopover).size(), 1) << "the popover stays open beside it";

        // It has the keyboard: Escape, typed at whatever window holds it, closes it.
        ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
        ASSERT_TRUE(reader->waitForGone(QStringLiteral("label"), reason.in(language)));
        // The keyboard goes back to the popover, which therefore stays open.
        const QStringList popover = windowsOfSize(kPopover);
        ASSERT_EQ(popover.size(), 1) << "the popover is left open";
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return x11(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")})
                           .trimmed()
                           .toUInt() == popover.first().toUInt(nullptr, 16);
            },
            kWaitMs))
            << "the popover has the keyboard again";
        EXPECT_EQ(windowsOfSize(kPopover).size(), 1) << "the popover stays open";
    }
    stop(*program);
}

TEST_F(AccessibilityDesktopTest, UnderALowOpenFileLimitALinkOpensInAProgramThatDrawsAsItWill) {
    // The program draws without shared memory there; what it opens (a browser, through xdg-open) does not
    // inherit that. This xdg-open records what it was given.
    const QString bin = home.filePath(QStringLiteral("bin"));
    const QString opened = home.filePath(QStringLiteral("opened.txt"));
    ASSERT_TRUE(QDir().mkpath(bin));
    QFile opener(bin + QStringLiteral("/xdg-open"));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\n{ echo \"$1\"; env; } > \"$0.tmp\" && mv \"$0.tmp\" " +
                 QFile::encodeName(opened) + "\n");
    opener.close();
    ASSERT_TRUE(opener.setPermissions(opener.permissions() | QFile::ExeOwner));
    writePreferences({{QStringLiteral("bl.hasSeenOnboarding"), true},
                      {QStringLiteral("bl.appLanguage"), QStringLiteral("en")}});
    QProcessEnvironment env = readerEnvironment();
    env.insert(QStringLiteral("PATH"), bin + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    program = std::make_unique<Program>();
    program->limitDescriptors(512);
    program->start(env);
    ASSERT_TRUE(program->waitFor(kReady)) << program->log().toStdString();
    EXPECT_EQ(
        program->count(QStringLiteral("Drawing without shared memory under the open-file limit of 512")), 1)
        << program->log().toStdString();
    reader = std::make_unique<ScreenReader>();
    ASSERT_TRUE(reader->start(env, program->processId())) << "the reader did not start";
    ASSERT_TRUE(QTest::qWaitFor([this] { return !reader->windows().isEmpty(); }, kWaitMs))
        << "the timers window never showed: " << reader->error().toStdString();
    ASSERT_NO_FATAL_FAILURE(press("page tab", kSettingsTab, Language::en));
    ASSERT_NO_FATAL_FAILURE(press("push button", {"Send Feedback to the Developer"}, Language::en));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(opened); }, kWaitMs))
        << program->log().toStdString();
    QFile record(opened);
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(record.readAll()).split(u'\n');
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("https://"))) << lines.first().toStdString();
    EXPECT_TRUE(lines.filter(QStringLiteral("QT_XCB_NO_MITSHM")).isEmpty())
        << lines.join(u'\n').toStdString();
    EXPECT_FALSE(lines.filter(QStringLiteral("DISPLAY=")).isEmpty())
        << "the rest of the environment is passed on";
    stop(*program);
}
