#include "platform/SingleInstance.h"

#include "platform/Door.h"
#include "platform/FaultPoint.h"
#include "platform/HandOver.h"
#include "platform/HandOverServer.h"
#include "platform/SocketListener.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

#include <unistd.h>

namespace {

constexpr int kRetryPauseMs = 50;
// How long a launch that holds the folder lock waits on a door that is bound and listened on by no one before
// it takes the holder for a stranger: the running copy listens as soon as it has bound the name.
constexpr int kSilentDoorGraceMs = 1000;

QString madeFolder(const QString& dataDirectory) {
    // Made first, so that the path resolves whole and the lock has its place.
    QDir().mkpath(dataDirectory);
    return Door::folder(dataDirectory);
}

} // namespace

SingleInstance::SingleInstance(const QString& dataDirectory, uid_t user, QObject* parent)
    : QObject(parent), m_folder(madeFolder(dataDirectory)), m_doorName(Door::name(m_folder, user)),
      m_user(user), m_lock(m_folder), m_server(std::make_unique<HandOverServer>(HandOverServer::Limits{})) {
    connect(m_server.get(), &HandOverServer::messageReceived, this, &SingleInstance::messageReceived);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim(const QByteArray& message, int timeoutMs, QString* error) {
    QElapsedTimer timer;
    timer.start();
    QElapsedTimer silentDoor; // since the door was first found bound and unanswered while this held the lock
    QString lastError;
    const auto failWith = [error](Claim claim, const QString& why) {
        if (error) {
            *error = why;
        }
        return claim;
    };
    const QString door = QLatin1Char('@') + QString::fromLatin1(m_doorName);
    const QString unreachable =
        QStringLiteral("another copy uses the data folder %1 and cannot be reached from here").arg(m_folder);
    for (;;) {
        // Taken once, kept until this process hands over or ends.
        QString lockError;
        const DataFolderLock::State lock = m_lock.take(&lockError);
        m_lockError = lock == DataFolderLock::State::unavailable ? lockError : QString();
        // Binding is what decides among the launches that see one door: it succeeds for exactly one process
        // while the name is free.
        Door::Opening opening = Door::open(m_doorName);
        if (opening.outcome == Door::Opening::Outcome::opened) {
            if (lock != DataFolderLock::State::held) {
                m_listener = std::make_unique<SocketListener>(
                    opening.fd, m_user, [server = m_server.get()](int fd) { server->serve(fd); });
                return Claim::primary;
            }
            // A copy this door does not reach has the folder (another namespace), or one is just ending.
            ::close(opening.fd);
            lastError = unreachable;
        } else {
            const bool bound = opening.outcome == Door::Opening::Outcome::inUse;
            if (bound) {
                FaultPoint::reached("single-instance.door-in-use");
            }
            // Whatever kept this process from the door, the running copy is tried first.
            QString sendError;
            const HandOver::Delivery delivery =
                HandOver::send(m_doorName, message, m_user,
                               int(std::max<qint64>(0, timeoutMs - timer.elapsed())), &sendError);
            if (delivery == HandOver::Delivery::confirmed) {
                m_lock.release();
                return Claim::handedOver;
            }
            QString why = sendError;
            if (!bound) {
                why = QStringLiteral("Cannot open the door %1: %2").arg(door, opening.error);
            } else if (delivery == HandOver::Delivery::noListener) {
                why =
                    QStringLiteral("the door %1 is held, but no one answers there (%2)").arg(door, sendError);
            }
            // No copy of this user's is at the door: another user's process is, or nobody.
            const bool noCopy =
                delivery == HandOver::Delivery::foreign || delivery == HandOver::Delivery::noListener;
            switch (lock) {
            case DataFolderLock::State::taken:
                if (!noCopy) {
                    break;
                }
                // A bound name nobody listens on may be a copy of this user's that is just starting.
                if (bound && delivery == HandOver::Delivery::noListener) {
                    if (!silentDoor.isValid()) {
                        silentDoor.start();
                    }
                    if (silentDoor.elapsed() < kSilentDoorGraceMs) {
                        break;
                    }
                    why = QStringLiteral("the door %1 is held by a process that does not answer there, whose "
                                         "cannot be told")
                              .arg(door);
                }
                return failWith(Claim::lockedOnly, why);
            case DataFolderLock::State::held:
                if (noCopy) {
                    why = QStringLiteral("%1 (%2)").arg(unreachable, why);
                }
                break;
            case DataFolderLock::State::unavailable:
                // The door alone decides: another user's process there keeps this copy from starting, as no
                // lock would keep a second one out.
                if (delivery == HandOver::Delivery::foreign) {
                    return failWith(Claim::failed, why);
                }
                if (!bound && delivery == HandOver::Delivery::noListener) {
                    return failWith(Claim::unguarded, QStringLiteral("%1; %2").arg(why, m_lockError));
                }
                break;
            }
            lastError = why;
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
