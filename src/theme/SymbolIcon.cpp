#include "theme/SymbolIcon.h"

#include "platform/TarvolinTimerLogger.h"
#include "theme/SymbolIconEngine.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <memory>

// The resource is compiled into the static library; a static library's initialiser is only kept when
// something refers to it, so it is registered on first use.
static void initSymbolResources() {
    Q_INIT_RESOURCE(icons);
}

namespace {

const QString kFolder = QStringLiteral(":/icons/");
const QString kFallback = QStringLiteral(":/icons/fallback/unknown.svg");

void ensureResources() {
    static const bool done = [] {
        initSymbolResources();
        return true;
    }();
    Q_UNUSED(done);
}

QHash<QString, std::shared_ptr<QSvgRenderer>>& renderers() {
    static QHash<QString, std::shared_ptr<QSvgRenderer>> cache;
    return cache;
}

} // namespace

QStringList SymbolIcon::names() {
    ensureResources();
    QStringList out;
    for (const QString& file : QDir(kFolder).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name)) {
        out << file.chopped(4);
    }
    return out;
}

bool SymbolIcon::contains(const QString& name) {
    ensureResources();
    return !name.isEmpty() && !name.contains(u'/') && QFile::exists(kFolder + name + QStringLiteral(".svg"));
}

QSvgRenderer* SymbolIcon::renderer(const QString& name) {
    ensureResources();
    auto& cache = renderers();
    if (auto it = cache.constFind(name); it != cache.constEnd()) {
        return it->get();
    }
    std::shared_ptr<QSvgRenderer> r;
    if (contains(name)) {
        r = std::make_shared<QSvgRenderer>(kFolder + name + QStringLiteral(".svg"));
    }
    if (!r || !r->isValid()) {
        TT_LOG_WARNING(QStringLiteral("SymbolIcon"), QStringLiteral("Unknown symbol: ") + name);
        r = std::make_shared<QSvgRenderer>(kFallback);
    }
    cache.insert(name, r);
    return r.get();
}

void SymbolIcon::paint(QPainter& painter, const QRectF& rect, const QString& name, const QColor& color) {
    if (rect.isEmpty()) {
        return;
    }
    QSvgRenderer* r = renderer(name);
    QSizeF drawn = r->defaultSize();
    drawn.scale(rect.size(), Qt::KeepAspectRatio);
    const QRectF target(rect.center().x() - drawn.width() / 2, rect.center().y() - drawn.height() / 2,
                        drawn.width(), drawn.height());

    // The drawings are black; they are rendered apart and recoloured, so any colour works.
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const qreal scale = dpr * std::max(painter.transform().m11(), painter.transform().m22());
    const QSize px(std::max(1, int(std::ceil(target.width() * scale))),
                   std::max(1, int(std::ceil(target.height() * scale))));
    QImage image(px, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        r->render(&p, QRectF(QPointF(0, 0), QSizeF(px)));
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(image.rect(), color);
    }
    painter.drawImage(target, image);
}

QPixmap SymbolIcon::pixmap(const QString& name, const QSize& size, const QColor& color,
                           qreal devicePixelRatio) {
    QPixmap pm(size * devicePixelRatio);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paint(p, QRectF(QPointF(0, 0), QSizeF(size)), name, color);
    return pm;
}

QIcon SymbolIcon::icon(const QString& name, const QColor& color, const QColor& highlighted) {
    return QIcon(new SymbolIconEngine(name, color, highlighted));
}
