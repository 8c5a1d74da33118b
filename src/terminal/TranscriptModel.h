#pragma once

#include <QObject>
#include <QString>

// The terminal's transcript: the exact text of everything shown, CR LF as received, kept
// at most `limit` characters long by dropping its oldest lines after every change.
class TranscriptModel : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDefaultLimit = 10000;

    explicit TranscriptModel(int limit = kDefaultLimit, QObject *parent = nullptr);

    const QString &text() const { return m_text; }
    int limit() const { return m_limit; }

    // The text becomes the old text followed by `piece`, then the limit rule applies.
    void append(const QString &piece);
    void clear();

    // A received frame: one line, the frame followed by CR LF.
    void appendFrame(const QString &frame);
    // A failure of the line: its number, "-" and its description, between two CR LF.
    void appendLineFailure(int number, const QString &description);

    // How many characters the limit rule drops from the front of `text`: whole lines up to
    // and including their CR LF while the text is too long, then single characters when no
    // CR LF is left.
    static qsizetype cutPosition(QStringView text, int limit);

Q_SIGNALS:
    // Emitted in the order the changes happen; a view replays them to stay in step.
    void appended(const QString &piece);
    void frontRemoved(qsizetype count);
    void cleared();

private:
    QString m_text;
    int m_limit;
};
