#include "AppSettings.h"
#include "FrmMain.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppSettings::executableName());
    QApplication::setApplicationVersion(QStringLiteral(TELVO_VERSION));
#ifdef TELVO_APP_ID
    // Names the installed desktop entry, so that the desktop shows the window with its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TELVO_APP_ID));
#endif

    // A second copy ends at once, shows nothing and leaves the first one alone.
    SingleInstance instance(AppSettings::applicationName());
    if (!instance.acquire())
        return 0;

    FrmMain window;
    if (const QScreen *screen = window.screen()) {
        QRect frame(QPoint(), window.size());
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return app.exec();
}
