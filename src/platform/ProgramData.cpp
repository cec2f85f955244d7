#include "platform/ProgramData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramData::directory(const QString& probe) {
    const QDir program(QCoreApplication::applicationDirPath());
    const QString beside = QDir::cleanPath(program.filePath(QStringLiteral("../share/tarvolintimer")));
    const QString buildTree = QDir::cleanPath(program.filePath(QStringLiteral("../../share/tarvolintimer")));
    for (const QString& candidate : {beside, buildTree}) {
        if (QFileInfo::exists(QDir(candidate).filePath(probe))) {
            return candidate;
        }
    }
    const QString installed =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("tarvolintimer/") + probe,
                               QStandardPaths::LocateFile | QStandardPaths::LocateDirectory);
    if (installed.isEmpty()) {
        return beside;
    }
    // The probe's own path, less the probe.
    QString base = installed;
    base.chop(probe.size());
    return QDir::cleanPath(base);
}
