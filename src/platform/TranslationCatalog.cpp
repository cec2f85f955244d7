#include "platform/TranslationCatalog.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

QString TranslationCatalog::resourcePath(const QString& languageRaw) {
    const QString code = languageRaw == QLatin1String("en") ? QStringLiteral("en") : QStringLiteral("ja");
    return QStringLiteral(":/i18n/tarvolintimer_%1.qm").arg(code);
}

bool TranslationCatalog::install(const QString& languageRaw) {
    static std::unique_ptr<QTranslator> current;
    if (current) {
        QCoreApplication::removeTranslator(current.get());
        current.reset();
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(resourcePath(languageRaw))) {
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    current = std::move(translator);
    return true;
}
