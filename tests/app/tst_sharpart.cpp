// The pictures stay sharp at 200 %: each is drawn once per device pixel and never scaled
// afterwards. Runs with QT_SCALE_FACTOR=2.

#include "TestSettings.h"
#include "app/FrmMain.h"
#include "lang/FrmHelp.h"

#include <QLabel>
#include <QToolBar>
#include <QtTest>

class TstSharpArt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void picturesHaveOneDotPerDevicePixel();
};

void TstSharpArt::picturesHaveOneDotPerDevicePixel()
{
    TestSettings settings;
    FrmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const qreal ratio = window.devicePixelRatioF();
    QCOMPARE(ratio, 2.0);

    const QSize iconSize = window.Toolbar()->iconSize();
    for (int index : {1, 2, 4, 6, 8, 9}) {
        const QPixmap picture = window.toolbarButton(index)->icon().pixmap(iconSize, ratio);
        QCOMPARE(picture.size(), iconSize * 2);
        QCOMPARE(picture.devicePixelRatio(), 2.0);
    }
    const QPixmap windowIcon = window.windowIcon().pixmap(QSize(48, 48), ratio);
    QCOMPARE(windowIcon.size(), QSize(96, 96));

    FrmHelp *help = FrmHelp::showHelp();
    QVERIFY(QTest::qWaitForWindowExposed(help));
    const QPixmap donate = help->Ipaypal()->pixmap();
    QCOMPARE(donate.size(), QSize(32, 32) * 2);
    QCOMPARE(donate.devicePixelRatio(), 2.0);
    help->close();
}

QTEST_MAIN(TstSharpArt)
#include "tst_sharpart.moc"
