// Renders an SVG picture into square PNG files, one per size, for the desktop's icon theme.
// Usage: telvo-iconrender [--crisp] PICTURE.svg SIZE OUT.png [SIZE OUT.png ...]
// Fails when the picture cannot be read or draws nothing, so that a broken icon stops the
// build instead of being installed. With --crisp it also fails when a pixel is neither opaque
// nor transparent: a drawing made for one size must put its edges on whole pixels.

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QSvgRenderer>

#include <cstdio>

namespace {

bool drewSomething(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                return true;
        }
    }
    return false;
}

// The first pixel that is partly transparent, or (-1, -1).
QPoint blurredPixel(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0 && qAlpha(line[x]) != 255)
                return {x, y};
        }
    }
    return {-1, -1};
}

int fail(const QString &message)
{
    std::fprintf(stderr, "telvo-iconrender: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool crisp = !args.isEmpty() && args.first() == QLatin1String("--crisp");
    if (crisp)
        args.removeFirst();
    if (args.size() < 3 || args.size() % 2 == 0)
        return fail(QStringLiteral(
            "usage: telvo-iconrender [--crisp] PICTURE.svg SIZE OUT.png [SIZE OUT.png ...]"));

    QSvgRenderer renderer(args.at(0));
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read %1").arg(args.at(0)));

    for (int i = 1; i < args.size(); i += 2) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size <= 0)
            return fail(QStringLiteral("not a size: %1").arg(args.at(i)));
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        if (!drewSomething(image))
            return fail(QStringLiteral("%1 draws nothing at %2 px").arg(args.at(0)).arg(size));
        if (const QPoint at = blurredPixel(image); crisp && at.x() >= 0)
            return fail(QStringLiteral("%1 at %2 px: pixel (%3, %4) is partly transparent")
                            .arg(args.at(0))
                            .arg(size)
                            .arg(at.x())
                            .arg(at.y()));
        if (!image.save(args.at(i + 1), "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(args.at(i + 1)));
    }
    return 0;
}
