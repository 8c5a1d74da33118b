#pragma once

#include <chrono>
#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

// Timers for a single-threaded poll() loop. Timers due at the same instant run in the order
// they were scheduled, so answers scheduled with the same delay go out in order.
class TimerQueue
{
public:
    using Clock = std::chrono::steady_clock;

    void schedule(Clock::time_point when, std::function<void()> fn)
    {
        timers_.emplace(Key{when, nextSeq_++}, std::move(fn));
    }

    void scheduleIn(std::chrono::milliseconds delay, std::function<void()> fn)
    {
        schedule(Clock::now() + delay, std::move(fn));
    }

    // Timeout for poll(): -1 when nothing is pending. Rounded up, so a timer less than a
    // millisecond away does not make the loop spin with a zero timeout.
    int pollTimeout() const
    {
        if (timers_.empty())
            return -1;
        const auto left = timers_.begin()->first.first - Clock::now();
        if (left <= Clock::duration::zero())
            return 0;
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
    }

    // Runs the timers that are due now. A callback may schedule further timers.
    void runDue()
    {
        const auto now = Clock::now();
        while (!timers_.empty() && timers_.begin()->first.first <= now) {
            auto fn = std::move(timers_.begin()->second);
            timers_.erase(timers_.begin());
            fn();
        }
    }

private:
    using Key = std::pair<Clock::time_point, std::uint64_t>;
    std::map<Key, std::function<void()>> timers_;
    std::uint64_t nextSeq_ = 0;
};
