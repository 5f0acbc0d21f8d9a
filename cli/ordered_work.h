// Work on several threads whose results are taken in the order of the work, on the calling
// thread: pictures decode side by side and still enter the group in the order given.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace iconvale::cli {

// The number of threads `--jobs 0` (the default) means: one a core.
int DefaultJobs();

// Runs make(i) for every i below `count` on `jobs` threads, at most a window of results ahead
// of the one awaited, and calls take(i, result) for each in order of i on this thread. Stops
// early, letting the threads finish the item in hand, when take returns false; returns whether
// every result was taken. `make` must not throw.
template <typename Result>
bool RunInOrder(int count, int jobs, const std::function<Result(int)>& make,
                const std::function<bool(int, Result&)>& take) {
    const auto inTurn = [&] {
        for (int i = 0; i < count; ++i) {
            Result result = make(i);
            if (!take(i, result)) return false;
        }
        return true;
    };
    jobs = std::clamp(jobs, 1, std::max(count, 1));
    if (jobs == 1) return inTurn();
    const int window = jobs * 4;
    std::vector<std::optional<Result>> results(static_cast<std::size_t>(count));
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0;     // the next item a thread takes up
    int awaited = 0;  // the item this thread waits for
    bool stop = false;

    auto work = [&] {
        std::unique_lock lock(mutex);
        while (true) {
            changed.wait(lock, [&] { return stop || next >= count || next < awaited + window; });
            if (stop || next >= count) return;
            const int i = next++;
            lock.unlock();
            Result result = make(i);
            lock.lock();
            results[static_cast<std::size_t>(i)] = std::move(result);
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    try {
        for (int t = 0; t < jobs; ++t) threads.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer threads than asked for still do the work; none at all leaves it to this one.
    }
    if (threads.empty()) return inTurn();

    bool all = true;
    for (int i = 0; i < count; ++i) {
        std::optional<Result> result;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return results[static_cast<std::size_t>(i)].has_value(); });
            result = std::move(results[static_cast<std::size_t>(i)]);
            results[static_cast<std::size_t>(i)].reset();
            awaited = i + 1;
        }
        changed.notify_all();
        if (!take(i, *result)) {
            all = false;
            break;
        }
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    changed.notify_all();
    for (std::thread& thread : threads) thread.join();
    return all;
}

}  // namespace iconvale::cli
