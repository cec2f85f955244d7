#include "platform/HandOverServer.h"

#include "platform/FaultPoint.h"
#include "platform/HandOver.h"
#include "platform/TarvolinTimerLogger.h"

#include <QList>
#include <QSocketNotifier>

#include <algorithm>

#include <sys/socket.h>
#include <unistd.h>

namespace {

const QLatin1String kContext("SingleInstance");

} // namespace

// One connected client: its descriptor, its message as it comes, and when its time is up.
struct HandOverServer::Client {
    int fd = -1;
    quint64 id = 0;
    qint64 cutAtMs = 0;
    HandOver::FrameReader reader;
    QSocketNotifier* notifier = nullptr;

    ~Client() {
        if (notifier) {
            // Off before the descriptor closes; deleted later, as this may run inside its own signal.
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
        ::close(fd);
    }
};

HandOverServer::HandOverServer(Limits limits, QObject* parent) : QObject(parent), m_limits(limits) {
    m_clock.start();
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &HandOverServer::cutExpired);
}

HandOverServer::~HandOverServer() {
    for (const auto& client : m_answered) {
        if (confirmedBeforeShutdown(*client)) {
            dropped(*client, "the program ended before it read the confirmation");
        }
    }
}

void HandOverServer::finish() {
    m_finished = true;
    m_waiting.clear();
    QList<QByteArray> confirmed;
    for (const auto& client : m_answered) {
        if (confirmedBeforeShutdown(*client)) {
            confirmed << client->reader.message();
        } else {
            dropped(*client, "the program is ending");
        }
    }
    m_answered.clear();
    m_deadline.stop();
    for (const QByteArray& message : confirmed) {
        emit messageReceived(message);
    }
}

void HandOverServer::serve(int fd) {
    auto client = std::make_unique<Client>();
    client->fd = fd;
    if (m_finished) {
        return; // closed at once: its sender finds no copy, and tries again
    }
    client->id = ++m_nextId;
    client->cutAtMs = m_clock.elapsed() + m_limits.clientTimeoutMs;
    // A later launch sends its whole message with its connection, so it is usually whole already.
    if (client->reader.readFrom(fd) == HandOver::Reading::refused) {
        return;
    }
    client->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(client->notifier, &QSocketNotifier::activated, this, [this, id = client->id] { readable(id); });
    m_waiting.push_back(std::move(client));
    if (qsizetype(m_waiting.size()) > m_limits.maxWaiting) {
        if (!m_cutting) {
            m_cutting = true;
            TT_LOG_WARNING(kContext,
                           QStringLiteral("More than %1 clients are waiting for an answer; cutting the "
                                          "oldest")
                               .arg(m_limits.maxWaiting));
        }
        m_waiting.pop_front();
    }
    answerWaiting();
}

void HandOverServer::readable(quint64 id) {
    const auto byId = [id](const std::unique_ptr<Client>& client) { return client->id == id; };
    if (const auto at = std::find_if(m_waiting.begin(), m_waiting.end(), byId); at != m_waiting.end()) {
        Client& client = **at;
        if (client.reader.isDone()) {
            // Its sender writes nothing more before the answer: it gave up (promised nothing), or broke
            // the protocol.
            m_waiting.erase(at);
        } else {
            const HandOver::Reading reading = client.reader.readFrom(client.fd);
            if (reading == HandOver::Reading::incomplete) {
                return;
            }
            if (reading == HandOver::Reading::refused) {
                m_waiting.erase(at);
            }
        }
        answerWaiting();
        return;
    }
    const auto at = std::find_if(m_answered.begin(), m_answered.end(), byId);
    if (at == m_answered.end()) {
        return; // already cut
    }
    const HandOver::Reading reading = HandOver::readConfirmation((*at)->fd);
    if (reading == HandOver::Reading::incomplete) {
        return;
    }
    const std::unique_ptr<Client> client = std::move(*at);
    m_answered.erase(at);
    if (reading == HandOver::Reading::hungUp) {
        // Its launch gave up before it confirmed, so it reports no success and tries again: usual, not a
        // fault.
        TT_LOG_INFO(kContext, droppedLine(*client, "its sender did not confirm the answer"));
    } else if (reading != HandOver::Reading::done) {
        dropped(*client, "its sender did not confirm the answer");
    }
    answerWaiting();
    if (reading == HandOver::Reading::done) {
        emit messageReceived(client->reader.message());
    }
}

void HandOverServer::answerWaiting() {
    for (auto at = m_waiting.begin(); at != m_waiting.end();) {
        if (!(*at)->reader.isDone()) {
            ++at;
            continue;
        }
        if (qsizetype(m_answered.size()) >= m_limits.maxAnswered) {
            if (!m_full) {
                m_full = true;
                TT_LOG_WARNING(kContext, QStringLiteral("%1 answered clients are waiting to confirm; later "
                                                        "messages wait for their answer")
                                             .arg(m_answered.size()));
            }
            armDeadline();
            return;
        }
        std::unique_ptr<Client> client = std::move(*at);
        at = m_waiting.erase(at);
        // The socket's buffer is empty (the sender writes nothing more before the answer), so one byte fits.
        // A sender that already gave up is gone: the answer fails, and nothing is done for it.
        if (::send(client->fd, &HandOver::answer, 1, MSG_NOSIGNAL | MSG_DONTWAIT) != 1) {
            // Nothing was promised to it, and its launch tries again: the usual end of a held-up copy.
            TT_LOG_INFO(kContext, droppedLine(*client, "its sender had already given up"));
            continue;
        }
        client->cutAtMs = m_clock.elapsed() + m_limits.clientTimeoutMs;
        m_answered.push_back(std::move(client));
        FaultPoint::reached("hand-over.answered");
    }
    m_full = false;
    armDeadline();
}

void HandOverServer::cutExpired() {
    const qint64 now = m_clock.elapsed();
    while (!m_waiting.empty() && m_waiting.front()->cutAtMs <= now) {
        m_waiting.pop_front(); // promised nothing; its sender tries again while its own time lasts
    }
    QList<QByteArray> confirmed;
    while (!m_answered.empty() && m_answered.front()->cutAtMs <= now) {
        const std::unique_ptr<Client> client = std::move(m_answered.front());
        m_answered.pop_front();
        if (confirmedBeforeShutdown(*client)) {
            confirmed << client->reader.message();
        } else {
            dropped(*client, "its sender did not confirm the answer in time");
        }
    }
    answerWaiting();
    for (const QByteArray& message : confirmed) {
        emit messageReceived(message);
    }
}

void HandOverServer::armDeadline() {
    if (m_waiting.empty()) {
        m_cutting = false;
    }
    qint64 next = -1;
    for (const Clients* clients : {&m_waiting, &m_answered}) {
        // Each list is in the order of its deadlines, so its first client's time is up first.
        if (!clients->empty() && (next < 0 || clients->front()->cutAtMs < next)) {
            next = clients->front()->cutAtMs;
        }
    }
    if (next < 0) {
        m_deadline.stop();
        return;
    }
    m_deadline.start(int(std::max<qint64>(0, next - m_clock.elapsed())));
}

QString HandOverServer::droppedLine(const Client& client, const char* why) {
    return QStringLiteral("Dropped a handed-over message of %1 bytes: %2")
        .arg(client.reader.message().size())
        .arg(QLatin1String(why));
}

void HandOverServer::dropped(const Client& client, const char* why) {
    TT_LOG_WARNING(kContext, droppedLine(client, why));
}

bool HandOverServer::confirmedBeforeShutdown(const Client& client) {
    // From here on a confirmation fails at its sender, so one is either read here or never reported sent.
    ::shutdown(client.fd, SHUT_RD);
    return HandOver::readConfirmation(client.fd) == HandOver::Reading::done;
}
