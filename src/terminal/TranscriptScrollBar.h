#pragma once

#include <QRect>
#include <QScrollBar>

// The terminal's vertical scroll bar. Following a full transcript, every redraw drops lines at
// the top and adds as many at the end: the range shrinks and grows back, the value with it, and
// a plain scroll bar would paint itself anew each time although it looks the same as before.
// Between hold() and release() changes of range and value paint nothing; release() repaints
// once, and only when what the bar shows (the handle, an end reached) has changed.
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

private:
    struct Look
    {
        QRect handle;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look &) const = default;
    };
    Look look() const;

    bool m_held = false;
    bool m_changedWhileHeld = false;
    Look m_drawn;
};
