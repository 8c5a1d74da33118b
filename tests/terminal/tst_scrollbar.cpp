// The terminal's scroll bar draws from pictures of its looks: it must look exactly as a plain
// scroll bar in the same state does, also when it comes back to a look it had before.

#include "TranscriptScrollBar.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QtTest>

class TstScrollBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void looksAsThePlainBarDoes()
    {
        QWidget window; // one window, so that both bars are as active as each other
        auto *bar = new TranscriptScrollBar(&window);
        auto *plain = new QScrollBar(Qt::Vertical, &window);
        auto *layout = new QHBoxLayout(&window);
        layout->addWidget(bar);
        layout->addWidget(plain);
        window.resize(60, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const auto set = [&](int maximum, int value) {
            for (QScrollBar *b : {static_cast<QScrollBar *>(bar), plain}) {
                b->setRange(0, maximum);
                b->setPageStep(30);
                b->setValue(value);
            }
        };
        const auto same = [&](const char *when) {
            const QImage expected = plain->grab().toImage();
            const QImage drawn = bar->grab().toImage();
            QVERIFY2(drawn.size() == expected.size() && drawn == expected, when);
        };
        set(139, 139);
        same("following the end");
        set(141, 141);
        same("a longer transcript");
        set(139, 60);
        same("scrolled back");
        set(139, 0);
        same("at the start");
        set(139, 139);
        same("back at the end, a look it had before");

        QPalette colours = window.palette();
        colours.setColor(QPalette::Button, Qt::darkCyan);
        colours.setColor(QPalette::Window, Qt::yellow);
        window.setPalette(colours);
        same("other colours");
        window.setEnabled(false);
        same("disabled");
        window.setEnabled(true);
        set(0, 0);
        same("nothing to scroll");
    }
};

QTEST_MAIN(TstScrollBar)
#include "tst_scrollbar.moc"
