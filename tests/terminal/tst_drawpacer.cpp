// The terminal view's draw rhythm: at once after a quiet spell, one draw per burst interval,
// further apart while lines scroll past faster than they can be read.

#include "DrawPacer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// How long after `changed()` the pacer says a draw is due, in ms.
static qint64 msUntilDue(DrawPacer &pacer, QSignalSpy &due)
{
    due.clear();
    QElapsedTimer clock;
    clock.start();
    pacer.changed();
    if (!due.wait(5000))
        return -1;
    return clock.elapsed();
}

// Timers may fire up to 5 % early, and the clock counts whole milliseconds.
static qint64 atLeast(int ms)
{
    return ms * 95 / 100 - 1;
}

class TstDrawPacer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The first change, and one after a quiet spell, is drawn at the next turn of the loop:
    // no timer stands between them and the screen.
    void quietChangeIsDueAtOnce()
    {
        DrawPacer pacer;
        QSignalSpy due(&pacer, &DrawPacer::due);
        pacer.changed();
        QCoreApplication::processEvents();
        QCOMPARE(due.count(), 1);

        pacer.drawing(1, 40);
        QTest::qWait(DrawPacer::kMinIntervalMs + 5);
        due.clear();
        pacer.changed();
        QCoreApplication::processEvents();
        QCOMPARE(due.count(), 1);
    }

    // Changes right after a draw wait for the interval, and however many there are, they
    // make one draw.
    void burstIsDrawnOncePerInterval()
    {
        DrawPacer pacer;
        QSignalSpy due(&pacer, &DrawPacer::due);
        pacer.drawing(1, 40);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 5; ++i)
            pacer.changed();
        QVERIFY(due.wait(5000));
        QCOMPARE_GE(clock.elapsed(), atLeast(DrawPacer::kMinIntervalMs));
        QTest::qWait(DrawPacer::kMinIntervalMs + DrawPacer::kTailMs);
        QCOMPARE(due.count(), 1);
        QVERIFY(!pacer.isOutpaced());
    }

    // More lines than a screenful per interval: the next draw waits the longer interval;
    // once a draw brings few lines again, the short one is back.
    void outpacedDrawsAreFurtherApart()
    {
        DrawPacer pacer;
        QSignalSpy due(&pacer, &DrawPacer::due);
        pacer.drawing(0, 10);
        QVERIFY(msUntilDue(pacer, due) >= 0);
        pacer.drawing(10000, 10);
        QVERIFY(pacer.isOutpaced());
        QCOMPARE_GE(msUntilDue(pacer, due), atLeast(DrawPacer::kOutpacedIntervalMs));

        pacer.drawing(1, 10);
        QVERIFY(!pacer.isOutpaced());
    }
};

QTEST_GUILESS_MAIN(TstDrawPacer)
#include "tst_drawpacer.moc"
