#pragma once

#include "frames.h"
#include "timerqueue.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

struct Options
{
    std::string device; // serve this serial device; empty: create a pseudo-terminal
    std::string link;   // symbolic link to the served device; empty: none
    bool silent = false;
    bool split = false;
    bool log = false;
    int delayMs = 0;
    int eventsMs = 0;  // 0: no events
    int hangupMs = -1; // -1: never
};

// The adapter's side of the serial line: answers frames, sends events, and reports what it
// does on stdout when logging. Everything runs in one poll() loop.
class Emulator
{
public:
    explicit Emulator(const Options &options);
    ~Emulator();
    Emulator(const Emulator &) = delete;
    Emulator &operator=(const Emulator &) = delete;

    // Creates the pseudo-terminal or opens the device. Prints the reason to stderr on failure.
    bool open();

    // Path the program opens: the pseudo-terminal's slave, or the device's canonical path.
    const std::string &devicePath() const { return path_; }

    // Serves until `stopFd` becomes readable or the line is hung up. Returns the exit code.
    int run(int stopFd);

private:
    void onPortEvents(short revents);
    void readInput(short revents);
    void onFrame(const FrameCollector::Frame &frame);
    void transmit(const std::string &frame);
    void sendNextSplitByte();
    void writeOutput();
    void portGone(int error);
    void detach();
    void checkAttached();
    void discardStaleOutput();
    void scheduleEvent(TimerQueue::Clock::time_point when);
    void hangUp();
    std::size_t queuedBytes() const;
    void logFrame(const char *direction, const std::string &text, std::size_t dropped = 0);
    void logNote(const std::string &text);
    void logLine(const std::string &text);

    Options opts_;
    bool pty_;
    int fd_ = -1;
    std::string path_;
    bool attached_ = false;
    bool running_ = true;
    int exitCode_ = 0;
    // Bumped whenever the peer goes away; timers of an older session do nothing.
    std::uint64_t session_ = 0;

    TimerQueue timers_;
    FrameCollector collector_;
    bool nextEventOn_ = true;

    std::string out_; // bytes handed to write(), from outPos_ on
    std::size_t outPos_ = 0;
    std::deque<std::string> splitQueue_; // frames waiting to go out byte by byte
    std::size_t splitPos_ = 0;
    std::size_t splitBytes_ = 0;
    bool splitting_ = false;
};
