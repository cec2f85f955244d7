// The update window driven as a person drives it: the main button holds the keyboard, Return presses the
// focused button, Escape, Close and the close box close it, Download opens the page, and an open window
// follows a change of language.
#include "FakeUpdateChannel.h"

#include "platform/Preferences.h"
#include "platform/TranslationCatalog.h"
#include "theme/ThemeStore.h"
#include "ui/kit/LabelButton.h"
#include "ui/updates/UpdateCheckModel.h"
#include "ui/updates/UpdateCheckWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

// Failed expectations show texts as text.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

using namespace Qt::StringLiterals;
using Failure = UpdateChannel::Failure;

const QUrl kPage(u"https://example.org/tarvolintimer/1.3.0"_s);

} // namespace

TEST(UpdateCheckWindowTest, TheKeyboardAndTheButtonsCloseItOrOpenThePage) {
    const auto newer = [](FakeUpdateChannel& c) { c.answerAvailable(u"1.3.0"_s, kPage); };
    const auto upToDate = [](FakeUpdateChannel& c) { c.answerUpToDate(); };
    const auto noFeed = [](FakeUpdateChannel& c) { c.answerFailed(Failure::notAvailable); };
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers held = Qt::NoModifier) {
        return [k, held](UpdateCheckWindow&) { QTest::keyClick(QApplication::focusWidget(), k, held); };
    };
    const auto click = [](const char* name) {
        return [name](UpdateCheckWindow& w) {
            QTest::mouseClick(w.findChild<QAbstractButton*>(QLatin1String(name)), Qt::LeftButton);
        };
    };
    const struct {
        const char* behaviour;
        std::function<void(FakeUpdateChannel&)> answer;
        const char* focused; // the button holding the keyboard when the window opens
        std::function<void(UpdateCheckWindow&)> action;
        bool visibleAfter;
        QList<QUrl> opened;
        QString messageAfter; // the message label's text after the action; empty: not checked
    } rows[] = {
        {"up to date: Return presses Close", upToDate, "updates.close", key(Qt::Key_Return), false, {}, {}},
        {"a newer version: Return opens its page and closes",
         newer,
         "updates.download",
         key(Qt::Key_Return),
         false,
         {kPage},
         {}},
        {"Tab to Close, then Return: closes, nothing opens",
         newer,
         "updates.download",
         [](UpdateCheckWindow& w) {
             QTest::keyClick(&w, Qt::Key_Tab);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
         },
         false,
         {},
         {}},
        {"Escape closes", newer, "updates.download", key(Qt::Key_Escape), false, {}, {}},
        {"Shift+Escape is another shortcut: it stays",
         newer,
         "updates.download",
         key(Qt::Key_Escape, Qt::ShiftModifier),
         true,
         {},
         {}},
        {"Ctrl+Escape is another shortcut: it stays",
         newer,
         "updates.download",
         key(Qt::Key_Escape, Qt::ControlModifier),
         true,
         {},
         {}},
        {"the Download button", newer, "updates.download", click("updates.download"), false, {kPage}, {}},
        {"the window's close box",
         noFeed,
         "updates.close",
         [](UpdateCheckWindow& w) { w.close(); },
         false,
         {},
         {}},
        {"the language changes while it is open",
         noFeed,
         "updates.close",
         [](UpdateCheckWindow&) { ASSERT_TRUE(TranslationCatalog::install(u"ja"_s)); },
         true,
         {},
         u"このビルドではアップデートを確認できません。"_s},
    };
    Preferences preferences; // in memory
    const ThemeStore theme(preferences);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        ASSERT_TRUE(TranslationCatalog::install(u"en"_s));
        FakeUpdateChannel channel;
        QList<QUrl> opened;
        bool shownWhenOpened = false;
        UpdateCheckModel model(channel, u"1.2.0"_s, [&](const QUrl& link) {
            opened << link;
            shownWhenOpened = model.isPresented();
        });
        UpdateCheckWindow window(model, theme);
        QObject::connect(&model, &UpdateCheckModel::presentRequested, &window, &UpdateCheckWindow::present);
        model.checkForUpdates();
        row.answer(channel);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        auto* message = window.findChild<QLabel*>(u"updates.message"_s);
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->text(), model.message());
        EXPECT_EQ(window.findChild<QWidget*>(u"updates.download"_s)->isVisible(), model.offersDownload());
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(row.focused));

        row.action(window);
        EXPECT_TRUE(opened.isEmpty()) << "not while the key or click is still being handled";
        QCoreApplication::processEvents(); // the queued opening of the page
        EXPECT_EQ(window.isVisible(), row.visibleAfter);
        EXPECT_EQ(model.isPresented(), row.visibleAfter);
        EXPECT_EQ(opened, row.opened);
        EXPECT_FALSE(shownWhenOpened) << "the window goes before the browser is asked";
        if (!row.messageAfter.isEmpty()) {
            EXPECT_EQ(message->text(), row.messageAfter);
        }
    }
    ASSERT_TRUE(TranslationCatalog::install(u"en"_s));
}
