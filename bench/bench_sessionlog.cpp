// Cost of the session log on the receive path: one RX record handed to the system, as the
// window does for each read of the port that completes a frame (at line rate the port is
// read about every 8 ms, so a record carries some ten bus frames). The share of one core
// at 125 records a second puts the figure beside the line-rate CPU of the whole program.

#include "BenchStats.h"
#include "SessionLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {
constexpr int kRuns = 7;
constexpr int kRecords = 20000;
constexpr double kRecordsPerSecond = 1000.0 / 8;

// Microseconds per record: composed alone, or composed and written at once.
double perRecord(const QString &path, bool write)
{
    const QString frame = QStringLiteral("*1*1*11##").repeated(10);
    SessionLog log;
    log.open(path, nullptr);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kRecords; ++i) {
        log.received(frame);
        if (write)
            log.flush(nullptr);
    }
    log.close(nullptr);
    return double(t.nsecsElapsed()) / kRecords / 1000.0;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.log"));
    BenchStats composed, written;
    for (int run = 0; run < kRuns; ++run) {
        composed.add(perRecord(path, false));
        written.add(perRecord(path, true));
        QFile::remove(path);
    }
    printHeader("Cost of one RX record of the session log (ten frames)", "us");
    printRow(QStringLiteral("composed"), composed);
    printRow(QStringLiteral("composed and written, one write each"), written);
    std::printf("\nat %.0f records a second: %.3f %% of one core\n", kRecordsPerSecond,
                written.median() * kRecordsPerSecond / 1e4);
    return 0;
}
