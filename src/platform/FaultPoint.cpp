#include "platform/FaultPoint.h"

#include <QByteArray>
#include <QtGlobal>

#include <csignal>

namespace {

std::function<void(const char*)>& installed() {
    static std::function<void(const char*)> handler;
    return handler;
}

} // namespace

void FaultPoint::reached(const char* moment) {
    if (installed()) {
        installed()(moment);
        return;
    }
    static const QByteArray stopAt = qgetenv("TT_STOP_AT");
    if (!stopAt.isEmpty() && stopAt == moment) {
        ::raise(SIGSTOP);
    }
}

void FaultPoint::setHandler(std::function<void(const char* moment)> handler) {
    installed() = std::move(handler);
}
