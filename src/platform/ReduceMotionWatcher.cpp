#include "platform/ReduceMotionWatcher.h"

#include "platform/ReduceMotion.h"
#include "platform/TarvolinTimerLogger.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString kContext = QStringLiteral("ReduceMotion");

// The older portal answers Read with the value wrapped in one more variant; take off every wrapping.
QVariant unwrapped(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    return value;
}

bool isInteger(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

} // namespace

ReduceMotionWatcher::ReduceMotionWatcher(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {}

void ReduceMotionWatcher::start() {
    if (m_started) {
        return;
    }
    m_started = true;
    if (!m_bus.isConnected()) {
        emit settled();
        return;
    }
    // Subscribed before reading, so a change made while the reads travel is not lost. No service name:
    // naming one makes Qt look its owner up with a call that waits for the answer.
    // The slot's argument type is looked up by name, which works only once the type is registered.
    qRegisterMetaType<QDBusVariant>();
    if (!m_bus.connect(QString(), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                       QStringLiteral("SettingChanged"), this,
                       SLOT(onSettingChanged(QString, QString, QDBusVariant)))) {
        TT_LOG_WARNING(kContext, QStringLiteral("Cannot follow the desktop's setting changes: ") +
                                     m_bus.lastError().message());
    }
    m_pendingReads = 2;
    read(Source::appearance, true);
    read(Source::gnome, true);
}

bool ReduceMotionWatcher::reduceMotion() const {
    if (m_appearanceReduced) {
        return *m_appearanceReduced;
    }
    return m_gnomeAnimations ? !*m_gnomeAnimations : false;
}

void ReduceMotionWatcher::read(Source source, bool withReadOne) {
    const bool appearance = source == Source::appearance;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
        withReadOne ? QStringLiteral("ReadOne") : QStringLiteral("Read"));
    call << QString::fromLatin1(appearance ? kAppearanceNamespace : kGnomeNamespace)
         << QString::fromLatin1(appearance ? kReducedMotionKey : kAnimationsKey);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, source, withReadOne](QDBusPendingCallWatcher* finished) {
                onReadFinished(finished, source, withReadOne);
            });
}

void ReduceMotionWatcher::onReadFinished(QDBusPendingCallWatcher* call, Source source, bool withReadOne) {
    call->deleteLater();
    const QDBusMessage reply = call->reply();
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // A portal older than ReadOne still has Read.
        if (withReadOne && QDBusError(reply).type() == QDBusError::UnknownMethod) {
            read(source, false);
            return;
        }
    } else if (!reply.arguments().isEmpty()) {
        take(source, reply.arguments().constFirst());
    }
    if (m_pendingReads > 0 && --m_pendingReads == 0) {
        apply();
        emit settled();
    }
}

void ReduceMotionWatcher::onSettingChanged(const QString& settingNamespace, const QString& key,
                                           const QDBusVariant& value) {
    if (settingNamespace == QLatin1String(kAppearanceNamespace) && key == QLatin1String(kReducedMotionKey)) {
        take(Source::appearance, value.variant());
    } else if (settingNamespace == QLatin1String(kGnomeNamespace) && key == QLatin1String(kAnimationsKey)) {
        take(Source::gnome, value.variant());
    } else {
        return;
    }
    // Until both first answers are in, a change waits with them, so the value does not flicker.
    if (m_pendingReads == 0) {
        apply();
    }
}

void ReduceMotionWatcher::take(Source source, const QVariant& raw) {
    const QVariant value = unwrapped(raw);
    if (source == Source::appearance) {
        // 1 asks for reduced motion; any other number is "no preference".
        m_appearanceReduced =
            isInteger(value) ? std::optional<bool>(value.toLongLong() == 1) : std::optional<bool>();
    } else {
        m_gnomeAnimations = value.metaType() == QMetaType::fromType<bool>()
                                ? std::optional<bool>(value.toBool())
                                : std::optional<bool>();
    }
}

void ReduceMotionWatcher::apply() {
    const bool reduce = reduceMotion();
    if (reduce != ReduceMotion::enabled()) {
        TT_LOG_INFO(kContext, reduce ? QStringLiteral("The desktop asks for reduced motion")
                                     : QStringLiteral("The desktop allows motion"));
    }
    ReduceMotion::setEnabled(reduce);
}
