#include "Art.h"

#include <QFile>
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

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, render(rect.size() * ratio, mode, ratio));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        return render(size, mode, 1.0);
    }

    // Up to Qt 6.7 QIcon asks with the size already in device pixels, later with the size
    // in logical pixels; either way the art is drawn once per device pixel.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        return render(size * scale, mode, scale);
#else
        return render(size, mode, scale);
#endif
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return size;
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    }
    QIconEngine *clone() const override
    {
        return new SvgIconEngine(m_path);
    }
    QString key() const override
    {
        return QStringLiteral("TelvoSvgIconEngine");
    }

private:
    // A picture may have a drawing of its own for one square size, such as app-16.svg,
    // which puts every edge on a whole pixel where the scalable one would blur.
    QString pathFor(const QSize &px) const
    {
        if (px.width() != px.height())
            return m_path;
        QString sized = m_path;
        sized.insert(sized.size() - 4, QStringLiteral("-%1").arg(px.width()));
        return QFile::exists(sized) ? sized : m_path;
    }

    // The art at `px` device pixels, for a screen of `scale` device pixels per pixel.
    QPixmap render(const QSize &px, QIcon::Mode mode, qreal scale) const
    {
        const QString key = QStringLiteral("telvo-art:%1:%2x%3:%4")
                                .arg(m_path)
                                .arg(px.width())
                                .arg(px.height())
                                .arg(int(mode));
        QPixmap pm;
        if (QPixmapCache::find(key, &pm)) {
            pm.setDevicePixelRatio(scale);
            return pm;
        }
        QImage image(px, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QSvgRenderer renderer(pathFor(px));
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
        QPixmapCache::insert(key, pm);
        pm.setDevicePixelRatio(scale);
        return pm;
    }

    QString m_path;
};

} // namespace

QIcon Art::icon(Picture picture)
{
    return QIcon(new SvgIconEngine(QString::fromLatin1(resourcePath(picture))));
}
