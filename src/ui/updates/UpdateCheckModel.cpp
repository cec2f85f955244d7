#include "ui/updates/UpdateCheckModel.h"

#include "platform/TarvolinTimerLogger.h"

#include <QDesktopServices>
#include <QMetaEnum>
#include <QTimer>

#include <utility>

namespace {

void openInBrowser(const QUrl& link) {
    if (!QDesktopServices::openUrl(link)) {
        TT_LOG_WARNING(UpdateCheckModel::logContext,
                       QStringLiteral("Could not open the download page: ") + link.toString());
    }
}

// The failure's name as the code spells it: log lines stay English whatever the interface language.
QString failureName(UpdateChannel::Failure failure) {
    return QString::fromLatin1(QMetaEnum::fromType<UpdateChannel::Failure>().valueToKey(int(failure)));
}

} // namespace

UpdateCheckModel::UpdateCheckModel(UpdateChannel& channel, QString currentVersion, OpenLink openLink,
                                   QObject* parent)
    : QObject(parent), m_channel(channel), m_currentVersion(std::move(currentVersion)),
      m_openLink(openLink ? std::move(openLink) : OpenLink(openInBrowser)) {
    connect(&channel, &UpdateChannel::updateAvailable, this, &UpdateCheckModel::onUpdateAvailable);
    connect(&channel, &UpdateChannel::upToDate, this, &UpdateCheckModel::onUpToDate);
    connect(&channel, &UpdateChannel::checkFailed, this,
            [this](UpdateChannel::Failure failure, const QString&) { onCheckFailed(failure); });
}

QString UpdateCheckModel::windowTitle() const {
    return tr("Software Update");
}

QString UpdateCheckModel::heading() const {
    switch (m_state) {
    case State::idle:
        return {};
    case State::checking:
        return tr("Checking for updates…");
    case State::upToDate:
        return tr("You're up to date");
    case State::available:
        return tr("A new version is available");
    case State::failed:
        return tr("Couldn't check for updates");
    }
    return {};
}

QString UpdateCheckModel::message() const {
    switch (m_state) {
    case State::idle:
        return {};
    case State::checking:
        return tr("Looking for a version newer than %1.").arg(m_currentVersion);
    case State::upToDate:
        return tr("TarvolinTimer %1 is the newest version.").arg(m_currentVersion);
    case State::available:
        return tr("TarvolinTimer %1 is available. You have %2.").arg(m_availableVersion, m_currentVersion);
    case State::failed:
        // Described now rather than when it happened, so a change of language reaches it too.
        return m_failure ? UpdateChannel::failureDescription(*m_failure) : QString();
    }
    return {};
}

QString UpdateCheckModel::downloadText() const {
    return tr("Open Download Page");
}

QString UpdateCheckModel::closeText() const {
    return tr("Close");
}

QString UpdateCheckModel::spokenAnswer() const {
    const QString said = message();
    //: A heading without its full stop, then the message after it.
    return said.isEmpty() ? heading() : tr("%1. %2").arg(heading(), said);
}

void UpdateCheckModel::checkForUpdates() {
    TT_LOG_INFO(logContext, QStringLiteral("Checking for updates, as the user asked"));
    m_userWaiting = true;
    m_availableVersion.clear();
    m_link.clear();
    m_failure.reset();
    setState(State::checking);
    // A channel that cannot check answers inside the call: the window then opens on that answer.
    m_inCheckCall = true;
    m_channel.checkForUpdates();
    m_inCheckCall = false;
    present(true);
}

void UpdateCheckModel::download() {
    if (m_state != State::available || !m_link.isValid()) {
        return;
    }
    TT_LOG_INFO(logContext, QStringLiteral("Opening the download page: ") + m_link.toString());
    const QUrl link = m_link;
    dismiss();
    // After the click has returned and the window has gone: starting the browser takes a moment.
    QTimer::singleShot(0, this, [this, link] { m_openLink(link); });
}

void UpdateCheckModel::dismiss() {
    // An answer still to come is no longer waited for: it is logged, not shown.
    m_userWaiting = false;
    if (m_state == State::checking) {
        setState(State::idle);
    }
    if (!m_presented) {
        return;
    }
    m_presented = false;
    emit dismissed();
}

void UpdateCheckModel::onUpdateAvailable(const QString& version, const QUrl& link) {
    const bool asked = std::exchange(m_userWaiting, false);
    TT_LOG_INFO(logContext, QStringLiteral("Version %1 is available at %2 (found by %3 check; this is %4)")
                                .arg(version, link.toString(),
                                     asked ? QStringLiteral("the user's") : QStringLiteral("an automatic"),
                                     m_currentVersion));
    m_availableVersion = version;
    m_link = link;
    m_failure.reset();
    setState(State::available);
    // Found in the background, it is shown without taking the keyboard from what the user is doing.
    if (!m_inCheckCall) {
        present(asked);
    }
}

void UpdateCheckModel::onUpToDate() {
    const bool asked = std::exchange(m_userWaiting, false);
    TT_LOG_INFO(logContext, QStringLiteral("Up to date: %1 is the newest version%2")
                                .arg(m_currentVersion, asked ? QString() : QStringLiteral(" (not shown)")));
    if (!asked) {
        return;
    }
    setState(State::upToDate);
    if (!m_inCheckCall) {
        present(true);
    }
}

void UpdateCheckModel::onCheckFailed(UpdateChannel::Failure failure) {
    const bool asked = std::exchange(m_userWaiting, false);
    TT_LOG_INFO(logContext,
                QStringLiteral("Could not check for updates: %1%2")
                    .arg(failureName(failure), asked ? QString() : QStringLiteral(" (not shown)")));
    if (!asked) {
        return;
    }
    m_failure = failure;
    setState(State::failed);
    if (!m_inCheckCall) {
        present(true);
    }
}

void UpdateCheckModel::setState(State state) {
    m_state = state;
    // Also when the state stays: a new version or failure changes what it says.
    emit changed();
}

void UpdateCheckModel::present(bool activate) {
    m_presented = true;
    emit presentRequested(activate);
}
