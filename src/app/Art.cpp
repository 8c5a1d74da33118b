#include "Art.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace {

const char *resourcePath(Art::Picture picture)
{
    switch (picture) {
    case Art::Connect:
        return ":/art/connect.svg";
    case Art::Disconnect:
        return ":/art/disconnect.svg";
    case Art::Save:
        return ":/art/save.svg";
    case Art::Clear:
        return ":/art/clear.svg";
    case Art::FlagItaly:
        return ":/art/flag-it.svg";
    case Art::FlagUk:
        return ":/art/flag-uk.svg";
    case Art::AppIcon:
        return ":/art/app.svg";
    case Art::Donate:
        return ":/art/donate.svg";
    }
    return "";
}

// Renders the SVG at exactly the device pixels asked for, so the art stays sharp at any
// scale; disabled buttons get a greyed copy.
class SvgIconEngine : public QIconEngine
{
public:
    explicit SvgIconEngine(QString path)
        : m_path(std::move(path))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = scaledPixmap(rect.size(), mode, state, ratio);
        painter->drawPixmap(rect, pm);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        const QSize px = size * scale;
        const QString key = QStringLiteral("telvo-art:%1:%2x%3:%4")
                                .arg(m_path)
                                .arg(px.width())
                                .arg(px.height())
                                .arg(int(mode));
        QPixmap pm;
        if (QPixmapCache::find(key, &pm))
            return pm;
        QImage image(px, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QSvgRenderer renderer(m_path);
            QPainter p(&image);
            renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(px)));
        }
        if (mode == QIcon::Disabled) {
            for (int y = 0; y < image.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const int a = qAlpha(line[x]);
                    const int g = qGray(line[x]);
                    line[x] = qRgba(g, g, g, a / 2);
                }
            }
        }
        pm = QPixmap::fromImage(image);
        pm.setDevicePixelRatio(scale);
        QPixmapCache::insert(key, pm);
        return pm;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    }
    QIconEngine *clone() const override { return new SvgIconEngine(m_path); }
    QString key() const override { return QStringLiteral("TelvoSvgIconEngine"); }

private:
    QString m_path;
};

} // namespace

QIcon Art::icon(Picture picture)
{
    return QIcon(new SvgIconEngine(QString::fromLatin1(resourcePath(picture))));
}
