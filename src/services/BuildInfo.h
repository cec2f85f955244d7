#pragma once
// What the build was configured with: the program's version and the address of its update feed.

#include <QString>
#include <QUrl>

namespace BuildInfo {

// The project's version, "major.minor.patch".
QString applicationVersion();
// Empty when the build has no update feed.
QUrl updateFeedUrl();

} // namespace BuildInfo
