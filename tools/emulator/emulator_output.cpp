#include "emulator.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <unistd.h>

// What the emulator sends and what it logs: frames go out whole or, with --split, a byte at a
// time; a peer that does not read gets no more than kOutputLimit queued for it.

using namespace std::chrono;

namespace {

// Output for a peer that has the port open but does not read is kept up to this much; frames
// beyond it are dropped, much as a real line overruns.
constexpr std::size_t kOutputLimit = 64 * 1024;
constexpr milliseconds kSplitGap{2};

std::string timestamp()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    char buf[32];
    const std::size_t n = strftime(buf, sizeof buf, "%H:%M:%S", &local);
    std::snprintf(buf + n, sizeof buf - n, ".%03ld", ts.tv_nsec / 1000000);
    return buf;
}

} // namespace

// Hands a whole frame to the line. Frames never interleave, even when sent byte by byte.
void Emulator::transmit(const std::string &frame)
{
    if (!attached_)
        return;
    if (queuedBytes() + frame.size() > kOutputLimit) {
        logNote("peer is not reading, dropped " + frames::escaped(frame));
        return;
    }
    if (!opts_.split) {
        logFrame("->", frame);
        out_ += frame;
        writeOutput();
        return;
    }
    splitQueue_.push_back(frame);
    splitBytes_ += frame.size();
    if (!splitting_) {
        splitting_ = true;
        sendNextSplitByte();
    }
}

void Emulator::sendNextSplitByte()
{
    if (!attached_ || splitQueue_.empty()) {
        splitting_ = false;
        return;
    }
    const std::string &frame = splitQueue_.front();
    if (splitPos_ == 0)
        logFrame("->", frame);
    out_ += frame[splitPos_++];
    --splitBytes_;
    if (splitPos_ == frame.size()) {
        splitQueue_.pop_front();
        splitPos_ = 0;
    }
    writeOutput();
    if (!attached_ || splitQueue_.empty()) {
        splitting_ = false;
        return;
    }
    timers_.scheduleIn(kSplitGap, [this, s = session_] {
        if (s == session_)
            sendNextSplitByte();
    });
}

void Emulator::writeOutput()
{
    while (outPos_ < out_.size()) {
        const ssize_t n = ::write(fd_, out_.data() + outPos_, out_.size() - outPos_);
        if (n > 0) {
            outPos_ += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            return; // the rest goes when poll() reports POLLOUT
        } else {
            portGone(errno);
            return;
        }
    }
    out_.clear();
    outPos_ = 0;
}

std::size_t Emulator::queuedBytes() const
{
    return out_.size() - outPos_ + splitBytes_;
}

void Emulator::logFrame(const char *direction, const std::string &text, std::size_t dropped)
{
    if (!opts_.log)
        return;
    constexpr std::size_t kShown = 100;
    std::string line = direction;
    line += ' ';
    if (dropped > 0)
        line += "[" + std::to_string(dropped) + " bytes dropped] ";
    if (text.size() <= 3 * kShown) {
        line += frames::escaped(text);
    } else {
        line += frames::escaped(text.substr(0, kShown)) + " ...[" +
                std::to_string(text.size() - 2 * kShown) + " bytes]... " +
                frames::escaped(text.substr(text.size() - kShown));
    }
    logLine(line);
}

void Emulator::logNote(const std::string &text)
{
    if (opts_.log)
        logLine("-- " + text);
}

void Emulator::logLine(const std::string &text)
{
    const std::string line = timestamp() + " " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}
