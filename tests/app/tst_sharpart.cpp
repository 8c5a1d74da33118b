// The pictures stay sharp at 200 %: each is drawn once per device pixel and never scaled
// afterwards. Runs with QT_SCALE_FACTOR=2.

#include "TestWindow.h"

#include "FrmHelp.h"
#include "FrmMain.h"

#include <QLabel>
#include <QToolBar>
#include <QtTest>

class TstSharpArt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void picturesHaveOneDotPerDevicePixel()
    {
        TestWindow w;
        FrmMain &window = w.window();
        QCOMPARE(window.devicePixelRatioF(), 2.0);

        const QSize iconSize = window.findChild<QToolBar *>()->iconSize();
        for (int index : {1, 2, 4, 6, 8, 9}) {
            const QPixmap picture = w.action(QString::number(index))->icon().pixmap(iconSize, 2.0);
            QCOMPARE(picture.size(), iconSize * 2);
            QCOMPARE(picture.devicePixelRatio(), 2.0);
        }
        QCOMPARE(window.windowIcon().pixmap(QSize(48, 48), 2.0).size(), QSize(96, 96));

        FrmHelp *help = FrmHelp::showHelp(QStringLiteral("it"));
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCOMPARE(help->Ipaypal()->pixmap().size(), QSize(64, 64)); // 32 px at 200 %
        QCOMPARE(help->Ipaypal()->pixmap().devicePixelRatio(), 2.0);
        help->close();
    }
};

QTEST_MAIN(TstSharpArt)
#include "tst_sharpart.moc"
