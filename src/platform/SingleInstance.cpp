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
// How long a launch that holds the folder lock waits on a door bound by a process that does not listen, where
// the kernel cannot tell whose it is, before it takes the holder for a stranger: the running copy listens as
// soon as it has bound the name.
constexpr int kUnansweredDoorGraceMs = 1000;

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
    // Since the door was first found held by a process that took no connection of this launch, whose cannot
    // be told, while this launch held the lock.
    QElapsedTimer unansweredSince;
    // Why the door's holder is known to be another user's. It is not connected to again while it holds the
    // name: each connection would tell that process who this launch is.
    QString foreignHolder;
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
            // The name was free: whoever holds it next is asked anew.
            foreignHolder.clear();
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
            QString sendError = foreignHolder;
            HandOver::Delivery delivery = HandOver::Delivery::foreign;
            if (!bound || foreignHolder.isEmpty()) {
                delivery = HandOver::send(m_doorName, message, m_user,
                                          int(std::max<qint64>(0, timeoutMs - timer.elapsed())), &sendError);
                if (delivery == HandOver::Delivery::confirmed) {
                    m_lock.release();
                    return Claim::handedOver;
                }
                if (delivery == HandOver::Delivery::foreign) {
                    foreignHolder = sendError;
                }
            }
            // A door that takes no connection tells nothing of whose it is: the kernel is asked instead. The
            // user's own is a copy held up, never a stranger.
            std::optional<Door::Holder> holder;
            QString holderError;
            const bool unanswered =
                delivery == HandOver::Delivery::noListener || delivery == HandOver::Delivery::full;
            if (bound && unanswered) {
                holder = Door::holder(m_doorName, &holderError);
                if (holder && holder->user != m_user) {
                    foreignHolder = sendError =
                        QStringLiteral(
                            "the door %1 is held by a socket of user %2, not by this user (%3), %4")
                            .arg(door)
                            .arg(holder->user)
                            .arg(m_user)
                            .arg(delivery == HandOver::Delivery::full
                                     ? QStringLiteral("whose queue is full")
                                     : QStringLiteral("that does not answer"));
                    delivery = HandOver::Delivery::foreign;
                }
            }
            const bool ownHeldUp = holder && holder->user == m_user;
            QString why = sendError;
            if (!bound) {
                why = QStringLiteral("Cannot open the door %1: %2").arg(door, opening.error);
            } else if (ownHeldUp) {
                why =
                    QStringLiteral("the running copy takes no connection at the door %1: %2")
                        .arg(door, delivery == HandOver::Delivery::full
                                       ? QStringLiteral("its queue is full (%1 waiting)").arg(holder->waiting)
                                       : QStringLiteral("it does not listen yet"));
            } else if (delivery == HandOver::Delivery::noListener) {
                why =
                    QStringLiteral("the door %1 is held, but no one answers there (%2)").arg(door, sendError);
            } else if (delivery == HandOver::Delivery::full) {
                why = QStringLiteral("the door %1 is held, but its queue is full (%2)").arg(door, sendError);
            }
            // No copy of this user's is at the door, or none that can be told to be one: another user's
            // process is, or nobody, or a process the kernel would not name.
            const bool noCopy = delivery == HandOver::Delivery::foreign || (unanswered && !ownHeldUp);
            switch (lock) {
            case DataFolderLock::State::taken:
                // A process of this user's at the door is the copy, its lock undone by the folder's removal:
                // it is asked until the time is up.
                if (!noCopy) {
                    break;
                }
                if (bound && delivery != HandOver::Delivery::foreign) {
                    const QString untold =
                        QStringLiteral(
                            "the door %1 is held by a process that %2 there, whose cannot be told (%3)")
                            .arg(door,
                                 delivery == HandOver::Delivery::full ? QStringLiteral("takes no connection")
                                                                      : QStringLiteral("does not answer"),
                                 holderError);
                    // A full queue is a listener that is held up: where it cannot be told whose it is, it is
                    // taken for the user's own copy, so that no second copy starts.
                    if (delivery == HandOver::Delivery::full) {
                        why = untold;
                        break;
                    }
                    // Holding the lock, this launch knows that no copy that took it runs; but one that could
                    // not take it may be starting, and it listens as soon as it has bound the name.
                    if (!unansweredSince.isValid()) {
                        unansweredSince.start();
                    }
                    if (unansweredSince.elapsed() < kUnansweredDoorGraceMs) {
                        break;
                    }
                    why = untold;
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
