#include "support/XvfbDisplay.h"

#include <QStandardPaths>

XvfbDisplay::XvfbDisplay(const QString& screen) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        m_error = QStringLiteral("Xvfb is not installed (scripts/deps.sh --tests installs it)");
        return;
    }
    // Xvfb picks a free number itself and writes it to the given descriptor: no race for a number.
    m_xvfb.process.start(xvfb,
                         {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"), screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && m_xvfb.process.waitForReadyRead(5000)) {
        number += m_xvfb.process.readAllStandardOutput();
    }
    if (number.trimmed().isEmpty()) {
        m_error = QStringLiteral("Xvfb did not start: ") +
                  QString::fromLocal8Bit(m_xvfb.process.readAllStandardError());
        return;
    }
    m_name = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

QProcessEnvironment XvfbDisplay::environment(QProcessEnvironment environment) const {
    environment.insert(QStringLiteral("DISPLAY"), m_name);
    return environment;
}
