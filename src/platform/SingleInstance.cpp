#include "platform/SingleInstance.h"

#include "platform/Door.h"
#include "platform/FaultPoint.h"
#include "platform/HandOver.h"
#include "platform/HandOverServer.h"
#include "platform/SocketListener.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace {

constexpr int kRetryPauseMs = 50;

} // namespace

SingleInstance::SingleInstance(const QString& dataDirectory, uid_t user, QObject* parent)
    : QObject(parent), m_doorName(Door::name(dataDirectory, user)), m_user(user),
      m_server(std::make_unique<HandOverServer>(HandOverServer::Limits{})) {
    connect(m_server.get(), &HandOverServer::messageReceived, this, &SingleInstance::messageReceived);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim(const QByteArray& message, int timeoutMs, QString* error) {
    QElapsedTimer timer;
    timer.start();
    QString lastError;
    const auto failWith = [error](Claim claim, const QString& why) {
        if (error) {
            *error = why;
        }
        return claim;
    };
    for (;;) {
        // Binding is what decides: it succeeds for exactly one process while the name is free.
        Door::Opening opening = Door::open(m_doorName);
        if (opening.outcome == Door::Opening::Outcome::opened) {
            m_listener = std::make_unique<SocketListener>(
                opening.fd, m_user, [server = m_server.get()](int fd) { server->serve(fd); });
            return Claim::primary;
        }
        if (opening.outcome == Door::Opening::Outcome::failed) {
            return failWith(Claim::unguarded, QStringLiteral("Cannot open the door @%1: %2")
                                                  .arg(QString::fromLatin1(m_doorName), opening.error));
        }
        FaultPoint::reached("single-instance.door-in-use");
        const HandOver::Delivery delivery = HandOver::send(
            m_doorName, message, m_user, int(std::max<qint64>(0, timeoutMs - timer.elapsed())), &lastError);
        switch (delivery) {
        case HandOver::Delivery::confirmed:
            return Claim::handedOver;
        case HandOver::Delivery::foreign:
            // Another user's process: trying again would only wait for it to go.
            return failWith(Claim::failed, lastError);
        case HandOver::Delivery::noListener:
            // Its holder has not started listening yet, or has just ended.
            lastError = QStringLiteral("the door @%1 is held, but no one answers there (%2)")
                            .arg(QString::fromLatin1(m_doorName), lastError);
            break;
        case HandOver::Delivery::notTaken:
            break;
        }
        if (timer.elapsed() >= timeoutMs) {
            break;
        }
        QThread::msleep(kRetryPauseMs);
    }
    return failWith(Claim::failed, lastError);
}

bool SingleInstance::listen(QString* error) {
    if (!m_listener) {
        if (error) {
            *error = QStringLiteral("this process holds no door");
        }
        return false;
    }
    m_listener->serve();
    return true;
}

bool SingleInstance::isListening() const {
    return m_listener && m_listener->isServing();
}

void SingleInstance::finish() {
    if (m_listener) {
        m_listener->stop();
    }
    m_server->finish();
}
