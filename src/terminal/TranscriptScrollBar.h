#pragma once

#include <QCache>
#include <QPixmap>
#include <QRect>
#include <QScrollBar>

// The terminal's vertical scroll bar. Following a full transcript, every redraw drops lines at
// the top and adds as many at the end: the range shrinks and grows back, the value with it, and
// a plain scroll bar would paint itself anew each time although it looks the same as before.
// Between hold() and release() changes of range and value paint nothing; release() repaints
// once, and only when what the bar shows (the handle, an end reached) has changed.
//
// Even so it takes a new look a few times a second, mostly one of a handful it had a moment
// before, as the lines dropped and added differ in length. The style paints its gradients at
// a cost (their fills are spread over threads), so the bar at rest is drawn from a picture of
// each look it has had lately.
class TranscriptScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit TranscriptScrollBar(QWidget *parent = nullptr);

    void hold();
    void release();

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Look
    {
        QRect handle;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look &) const = default;
    };
    Look look() const;
    // The bar as the style draws it at rest (nothing pressed, nothing under the pointer).
    QPixmap restingPicture();

    QCache<QString, QPixmap> m_pictures;

    bool m_held = false;
    bool m_changedWhileHeld = false;
    Look m_drawn;
};
