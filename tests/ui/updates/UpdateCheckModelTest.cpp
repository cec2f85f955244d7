// The update window's model over a channel whose answers the test gives: what each answer says, when the
// window opens and whether it takes the keyboard, what is logged, and the texts' language.
#include "FakeUpdateChannel.h"

#include "platform/TranslationCatalog.h"
#include "support/LogCapture.h"
#include "ui/updates/UpdateCheckModel.h"

#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

// Failed expectations show texts as text.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

using namespace Qt::StringLiterals;
using State = UpdateCheckModel::State;
using Failure = UpdateChannel::Failure;

const QString kVersion = u"1.2.0"_s;
const QUrl kPage(u"https://example.org/tarvolintimer/1.3.0"_s);

// One opening of the window: what it showed then, and whether it took the keyboard.
struct Presentation {
    State state;
    bool activate;
    bool operator==(const Presentation&) const = default;
};

void PrintTo(const Presentation& p, std::ostream* os) {
    *os << '{' << QMetaEnum::fromType<State>().valueToKey(int(p.state)) << (p.activate ? ", active}" : "}");
}

using Step = std::function<void(FakeUpdateChannel&, UpdateCheckModel&)>;

} // namespace

TEST(UpdateCheckModelTest, EachAnswerSaysWhatItMeansAndOnlyWhatTheUserWaitsForOpensTheWindow) {
    const QString asked = u"[UpdateCheck] Checking for updates, as the user asked"_s;
    const Step available = [](FakeUpdateChannel& c, UpdateCheckModel&) {
        c.answerAvailable(u"1.3.0"_s, kPage);
    };
    const struct {
        const char* behaviour;
        bool userAsks;
        Step insideCall; // the channel's answer inside checkForUpdates()
        Step later;      // what happens after the call returned
        State state;
        QString heading;
        QString message;
        QList<Presentation> presentations;
        bool presentedAtEnd;
        QStringList log;
    } rows[] = {
        {"a check the user asked for says it is checking until the channel answers",
         true,
         {},
         {},
         State::checking,
         u"Checking for updates…"_s,
         u"Looking for a version newer than 1.2.0."_s,
         {{State::checking, true}},
         true,
         {asked}},
        {"nothing newer: up to date, with this program's version",
         true,
         {},
         [](FakeUpdateChannel& c, UpdateCheckModel&) { c.answerUpToDate(); },
         State::upToDate,
         u"You're up to date"_s,
         u"TarvolinTimer 1.2.0 is the newest version."_s,
         {{State::checking, true}, {State::upToDate, true}},
         true,
         {asked, u"[UpdateCheck] Up to date: 1.2.0 is the newest version"_s}},
        {"a newer version: its number beside this one's",
         true,
         {},
         available,
         State::available,
         u"A new version is available"_s,
         u"TarvolinTimer 1.3.0 is available. You have 1.2.0."_s,
         {{State::checking, true}, {State::available, true}},
         true,
         {asked, u"[UpdateCheck] Version 1.3.0 is available at https://example.org/tarvolintimer/1.3.0 "
                 "(found by the user's check; this is 1.2.0)"_s}},
        {"a failed check: why",
         true,
         {},
         [](FakeUpdateChannel& c, UpdateCheckModel&) { c.answerFailed(Failure::unreachable); },
         State::failed,
         u"Couldn't check for updates"_s,
         u"Couldn't reach the update server. Check your connection."_s,
         {{State::checking, true}, {State::failed, true}},
         true,
         {asked, u"[UpdateCheck] Could not check for updates: unreachable"_s}},
        {"a build without a feed answers inside the call: the window opens on that answer",
         true,
         [](FakeUpdateChannel& c, UpdateCheckModel&) { c.answerFailed(Failure::notAvailable); },
         {},
         State::failed,
         u"Couldn't check for updates"_s,
         u"Update checks are not available in this build."_s,
         {{State::failed, true}},
         true,
         {asked, u"[UpdateCheck] Could not check for updates: notAvailable"_s}},
        {"a newer version found by an automatic check shows without taking the keyboard",
         false,
         {},
         available,
         State::available,
         u"A new version is available"_s,
         u"TarvolinTimer 1.3.0 is available. You have 1.2.0."_s,
         {{State::available, false}},
         true,
         {u"[UpdateCheck] Version 1.3.0 is available at https://example.org/tarvolintimer/1.3.0 "
          "(found by an automatic check; this is 1.2.0)"_s}},
        {"an answer after the user closed the checking window is only logged",
         true,
         {},
         [](FakeUpdateChannel& c, UpdateCheckModel& m) {
             m.dismiss();
             c.answerFailed(Failure::timedOut);
         },
         State::idle,
         QString(),
         QString(),
         {{State::checking, true}},
         false,
         {asked, u"[UpdateCheck] Could not check for updates: timedOut (not shown)"_s}},
        {"up to date, unasked: silent",
         false,
         {},
         [](FakeUpdateChannel& c, UpdateCheckModel&) { c.answerUpToDate(); },
         State::idle,
         QString(),
         QString(),
         {},
         false,
         {u"[UpdateCheck] Up to date: 1.2.0 is the newest version (not shown)"_s}},
        {"a failure, unasked: silent",
         false,
         {},
         [](FakeUpdateChannel& c, UpdateCheckModel&) { c.answerFailed(Failure::serverError); },
         State::idle,
         QString(),
         QString(),
         {},
         false,
         {u"[UpdateCheck] Could not check for updates: serverError (not shown)"_s}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        FakeUpdateChannel channel;
        UpdateCheckModel model(channel, kVersion, [](const QUrl&) {});
        QList<Presentation> presentations;
        QObject::connect(&model, &UpdateCheckModel::presentRequested, [&](bool activate) {
            presentations << Presentation{model.state(), activate};
        });
        const LogCapture log;
        if (row.insideCall) {
            channel.answerInsideCall = [&](FakeUpdateChannel& c) { row.insideCall(c, model); };
        }
        if (row.userAsks) {
            model.checkForUpdates();
        }
        if (row.later) {
            row.later(channel, model);
        }
        EXPECT_EQ(channel.checks, row.userAsks ? 1 : 0);
        EXPECT_EQ(model.state(), row.state);
        EXPECT_EQ(model.heading(), row.heading);
        EXPECT_EQ(model.message(), row.message);
        EXPECT_EQ(model.offersDownload(), row.state == State::available);
        EXPECT_EQ(presentations, row.presentations);
        EXPECT_EQ(model.isPresented(), row.presentedAtEnd);
        EXPECT_EQ(log.linesFrom(UpdateCheckModel::logContext), row.log);
    }
}

TEST(UpdateCheckModelTest, ItsTextsFollowTheLanguageChosenSinceTheAnswerCame) {
    const struct {
        const char* behaviour;
        Step answer;
        const char* language;
        QString heading;
        QString message;
        QString close;
    } rows[] = {
        {"a failure, in Japanese",
         [](FakeUpdateChannel& c, UpdateCheckModel&) { c.answerFailed(Failure::notAvailable); }, "ja",
         u"アップデートを確認できませんでした"_s, u"このビルドではアップデートを確認できません。"_s,
         u"閉じる"_s},
        {"a newer version, in Japanese: both numbers in place",
         [](FakeUpdateChannel& c, UpdateCheckModel&) { c.answerAvailable(u"1.3.0"_s, kPage); }, "ja",
         u"新しいバージョンがあります"_s,
         u"TarvolinTimer 1.3.0 が公開されています。お使いのバージョンは 1.2.0 です。"_s, u"閉じる"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        FakeUpdateChannel channel;
        UpdateCheckModel model(channel, kVersion, [](const QUrl&) {});
        // The answer comes in the other language; the language changes while the window shows it.
        ASSERT_TRUE(TranslationCatalog::install(QLatin1String(qstrcmp(row.language, "ja") ? "ja" : "en")));
        model.checkForUpdates();
        row.answer(channel, model);
        ASSERT_TRUE(TranslationCatalog::install(QLatin1String(row.language)));
        EXPECT_EQ(model.heading(), row.heading);
        EXPECT_EQ(model.message(), row.message);
        EXPECT_EQ(model.closeText(), row.close);
    }
    ASSERT_TRUE(TranslationCatalog::install(u"en"_s));
}
