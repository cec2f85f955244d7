#include "services/BuildInfo.h"

// Only this file is given the values, so a changed feed address rebuilds one file.
#ifndef TT_APP_VERSION
#error "TT_APP_VERSION must be defined by the build"
#endif
#ifndef TT_UPDATE_FEED_URL
#error "TT_UPDATE_FEED_URL must be defined by the build"
#endif

QString BuildInfo::applicationVersion() {
    return QStringLiteral(TT_APP_VERSION);
}

QUrl BuildInfo::updateFeedUrl() {
    return QUrl(QStringLiteral(TT_UPDATE_FEED_URL), QUrl::StrictMode);
}
