#include "platform/SingleInstance.h"

#include "platform/FaultPoint.h"
#include "platform/HandOver.h"
#include "platform/HandOverServer.h"
#include "platform/SocketListener.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace {

constexpr int kRetryPauseMs = 50;

} // namespace

SingleInstance::SingleInstance(const QString& dataDirectory, const QString& directory, const QString& key,
                               QObject* parent)
    : QObject(parent), m_dataDirectory(dataDirectory),
      m_socketPath(directory + QStringLiteral("/") + key + QStringLiteral(".socket")),
      m_lock(dataDirectory, directory + QStringLiteral("/") + key + QStringLiteral(".lock")),
      m_server(std::make_unique<HandOverServer>(HandOverServer::Limits{})),
      m_listener(std::make_unique<SocketListener>(
          m_socketPath, [server = m_server.get()](int fd) { server->serve(fd); },
          // A folder removed and made anew is locked again before the socket is made in its place.
          [this] { m_lock.renew(); })) {
    QDir().mkpath(dataDirectory);
    QDir().mkpath(directory);
    connect(m_server.get(), &HandOverServer::messageReceived, this, &SingleInstance::messageReceived);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim(const QByteArray& message, int timeoutMs, QString* error) {
    QElapsedTimer timer;
    timer.start();
    QString lastError;
    for (;;) {
        // The socket first: a copy that answers there is the running one, whatever the lock says (its data
        // folder may have been removed and made anew, unlocked).
        const HandOver::Delivery delivery = HandOver::send(
            m_socketPath, message, int(std::max<qint64>(0, timeoutMs - timer.elapsed())), &lastError);
        if (delivery == HandOver::Delivery::confirmed) {
            return Claim::handedOver;
        }
        bool pause = true;
        if (delivery == HandOver::Delivery::noListener) {
            FaultPoint::reached("single-instance.asked");
            QString lockError;
            const DataFolderLock::Result lock = m_lock.take(&lockError);
            if (lock == DataFolderLock::Result::held) {
                lastError = QStringLiteral("Another copy holds %1 but does not serve %2")
                                .arg(m_dataDirectory, m_socketPath);
            } else {
                FaultPoint::reached("single-instance.locked");
                QString placeError;
                // Failing to make it is left to listen(), which tries again.
                if (m_listener->place(&placeError) != LocalSocketFile::Placement::Outcome::taken) {
                    if (lock == DataFolderLock::Result::taken) {
                        return Claim::primary;
                    }
                    if (error) {
                        *error = lockError;
                    }
                    return Claim::unguarded;
                }
                // Another copy made its socket since it was asked: that one runs, and takes the message.
                m_lock.release();
                lastError = QStringLiteral("Another copy (%1) serves %2").arg(placeError, m_socketPath);
                pause = false;
            }
        }
        if (timer.elapsed() >= timeoutMs) {
            break;
        }
        if (pause) {
            QThread::msleep(kRetryPauseMs);
        }
    }
    if (error) {
        *error = lastError;
    }
    return Claim::failed;
}

bool SingleInstance::listen(QString* error) {
    QString why;
    if (m_listener && m_listener->serve(&why)) {
        return true;
    }
    if (error) {
        *error = why;
    }
    return false;
}

bool SingleInstance::isListening() const {
    return m_listener && m_listener->isListening();
}

void SingleInstance::finish() {
    m_listener.reset();
    m_server->finish();
}

QString SingleInstance::defaultDirectory(const QString& dataDirectory) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        return runtime;
    }
    return dataDirectory;
}

QString SingleInstance::keyFor(const QString& dataDirectory) {
    const QByteArray digest = QCryptographicHash::hash(
        QDir::cleanPath(QDir(dataDirectory).absolutePath()).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("tarvolintimer-") + QString::fromLatin1(digest.toHex().left(16));
}
