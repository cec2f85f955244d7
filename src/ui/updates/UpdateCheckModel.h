#pragma once
// The update window without widgets: turns the update channel's answers into what the window says, in the
// interface language current when the texts are read, and the user's buttons into channel calls.
//
// A check the user started shows the window at once (checking, then its answer; a channel that answers
// inside the call shows its answer straight away); a newer version found by an automatic check shows it
// too, without taking the keyboard. Any other answer nobody waits for (the user closed the window while it
// was checking) is only logged. Every outcome is logged.

#include "services/UpdateChannel.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class UpdateCheckModel : public QObject {
    Q_OBJECT
public:
    static inline const QString logContext = QStringLiteral("UpdateCheck");

    enum class State {
        idle,      // nothing asked or found yet
        checking,  // a check the user asked for is running
        upToDate,  // nothing newer than this program
        available, // a newer version exists
        failed,    // the check ended without an answer
    };
    Q_ENUM(State)

    // Opens a web address in the user's browser.
    using OpenLink = std::function<void(const QUrl&)>;

    // `currentVersion` is this program's version; without `openLink` the desktop's browser is used. The
    // channel must outlive the model.
    UpdateCheckModel(UpdateChannel& channel, QString currentVersion, OpenLink openLink = {},
                     QObject* parent = nullptr);

    State state() const { return m_state; }
    const QString& currentVersion() const { return m_currentVersion; }
    // The newer version and its page while `available`; empty otherwise.
    const QString& availableVersion() const { return m_availableVersion; }
    const QUrl& link() const { return m_link; }
    // Why the check failed while `failed`.
    std::optional<UpdateChannel::Failure> failure() const { return m_failure; }
    // Whether the window should be on screen.
    bool isPresented() const { return m_presented; }

    // The window's texts, in the interface language of the moment.
    QString windowTitle() const;
    QString heading() const;
    QString message() const;
    QString downloadText() const;
    QString closeText() const;
    // The heading and the message as one sentence pair, for a screen reader.
    QString spokenAnswer() const;
    // The download button is offered only with a newer version.
    bool offersDownload() const { return m_state == State::available; }

    // ---- The user's intents ----
    // "Check for Updates": shows the window, checking until the channel answers (which may be at once).
    void checkForUpdates();
    // Opens the newer version's page, once the window has gone.
    void download();
    // The window was closed (its button, Escape, the window's close box); a check still running is then
    // no longer waited for, and the model is idle until the next answer worth showing.
    void dismiss();

signals:
    // The state or what it says changed.
    void changed();
    // Show the window and bring it to the front; `activate`: also give it the keyboard.
    void presentRequested(bool activate);
    // The window goes.
    void dismissed();

private:
    void onUpdateAvailable(const QString& version, const QUrl& link);
    void onUpToDate();
    void onCheckFailed(UpdateChannel::Failure failure);
    void setState(State state);
    void present(bool activate);

    UpdateChannel& m_channel;
    QString m_currentVersion;
    OpenLink m_openLink;
    State m_state = State::idle;
    QString m_availableVersion;
    QUrl m_link;
    std::optional<UpdateChannel::Failure> m_failure;
    bool m_presented = false;
    // A check the user asked for has not answered yet, and the user still waits for it.
    bool m_userWaiting = false;
    // Inside the channel's checkForUpdates(): an answer given there is shown once the call returns.
    bool m_inCheckCall = false;
};
