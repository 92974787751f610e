// Pieces shared by the three stand-in libraries (each gets its own copy).
#pragma once

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace standin {

// Test introspection hands out a copy of a field under its owner's lock; the
// caller's per-function, per-thread buffer keeps it valid until the next call.
inline const char *lockedCopy(std::mutex &mutex, const std::string &field, std::string &buffer)
{
    std::lock_guard<std::mutex> lock(mutex);
    buffer = field;
    return buffer.c_str();
}

inline std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

inline std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

inline bool startsWith(const std::string &text, const std::string &prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

inline std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

// "key=value,key=value": keys are compared case-insensitively and both sides
// are trimmed, since callers write "domain=common, capkey=...".
class Config
{
public:
    explicit Config(const char *text)
    {
        if (!text)
            return;
        for (const std::string &item : split(text, ',')) {
            const auto equals = item.find('=');
            if (equals == std::string::npos) {
                if (!trimmed(item).empty())
                    malformed = true;
                continue;
            }
            const std::string key = lowered(trimmed(item.substr(0, equals)));
            if (key.empty()) {
                malformed = true;
                continue;
            }
            values[key] = trimmed(item.substr(equals + 1));
        }
    }

    bool has(const std::string &key) const { return values.count(lowered(key)) != 0; }

    std::string value(const std::string &key) const
    {
        const auto it = values.find(lowered(key));
        return it == values.end() ? std::string() : it->second;
    }

    bool malformed = false;

private:
    std::map<std::string, std::string> values;
};

inline bool parseInt(const std::string &text, long long &number)
{
    const char *end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, number);
    return result.ec == std::errc() && result.ptr == end && !text.empty();
}

// The code a call must return instead of working, from a failure-injection variable.
inline int injectedFailure(const char *variable)
{
    const char *text = std::getenv(variable);
    long long code = 0;
    if (!text || !parseInt(trimmed(text), code))
        return 0;
    return static_cast<int>(code);
}

inline bool environmentNumber(const char *variable, double &number)
{
    const char *text = std::getenv(variable);
    if (!text)
        return false;
    const std::string value = trimmed(text);
    const char *end = value.data() + value.size();
    const auto result = std::from_chars(value.data(), end, number);
    return result.ec == std::errc() && result.ptr == end && !value.empty();
}

inline std::string environmentText(const char *variable)
{
    const char *text = std::getenv(variable);
    return text ? std::string(text) : std::string();
}

inline bool readLines(const std::string &path, std::vector<std::string> &lines)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::string line;
    bool first = true;
    while (std::getline(file, line)) {
        if (first && startsWith(line, "\xEF\xBB\xBF"))
            line.erase(0, 3);
        first = false;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return true;
}

// Stop flag of one background run; waits end early when it is raised.
class Session
{
public:
    void requestStop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopped = true;
        }
        wake.notify_all();
    }

    bool stopRequested() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return stopped;
    }

    // False when the run was stopped before the time was up.
    bool pause(std::chrono::microseconds duration)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return !wake.wait_for(lock, duration, [this] { return stopped; });
    }

    void waitForStop()
    {
        std::unique_lock<std::mutex> lock(mutex);
        wake.wait(lock, [this] { return stopped; });
    }

    std::atomic<bool> finished{false};

private:
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopped = false;
};

// Runs one session at a time on a thread of its own; a new session starts
// only when the threads of earlier ones have ended. A session stopped from
// its own thread (a handler calling cancel or stop) cannot join itself: its
// thread is kept and joined by the next start from another thread.
class Worker
{
public:
    using Run = std::function<void(Session &)>;

    ~Worker()
    {
        stop();
        std::vector<std::thread> threads;
        {
            std::lock_guard<std::mutex> lock(mutex);
            threads.swap(leftovers);
        }
        for (std::thread &thread : threads) {
            if (thread.get_id() == std::this_thread::get_id())
                thread.detach();
            else
                thread.join();
        }
    }

    bool active() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return session && !session->finished;
    }

    bool startIfIdle(Run run) { return begin(std::move(run), false); }

    void replace(Run run) { begin(std::move(run), true); }

    // True when a session was there to stop. Returns once its thread has
    // ended, unless called from that very thread.
    bool stop()
    {
        std::shared_ptr<Session> old;
        std::thread thread;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!session)
                return false;
            old = std::move(session);
            if (current.get_id() == std::this_thread::get_id())
                leftovers.push_back(std::move(current));
            else
                thread = std::move(current);
            if (thread.joinable())
                joining.push_back(thread.get_id());
        }
        old->requestStop();
        if (thread.joinable())
            join(thread);
        return true;
    }

private:
    bool begin(Run run, bool replacing)
    {
        const std::thread::id self = std::this_thread::get_id();
        for (;;) {
            if (replacing)
                stop();
            std::unique_lock<std::mutex> lock(mutex);
            std::vector<std::thread> ended;
            for (auto it = leftovers.begin(); it != leftovers.end();) {
                if (it->get_id() == self) {
                    ++it;
                    continue;
                }
                joining.push_back(it->get_id());
                ended.push_back(std::move(*it));
                it = leftovers.erase(it);
            }
            if (!ended.empty()) {
                lock.unlock();
                for (std::thread &thread : ended)
                    join(thread);
                continue;
            }
            // Another caller is still joining an earlier session's thread.
            if (std::any_of(joining.begin(), joining.end(), [self](std::thread::id id) { return id != self; })) {
                settled.wait(lock);
                continue;
            }
            if (session) {
                if (!replacing)
                    return false;
                continue;
            }
            session = std::make_shared<Session>();
            current = std::thread([run = std::move(run), running = session] {
                run(*running);
                running->finished = true;
            });
            return true;
        }
    }

    void join(std::thread &thread)
    {
        const std::thread::id id = thread.get_id();
        thread.join();
        std::lock_guard<std::mutex> lock(mutex);
        joining.erase(std::find(joining.begin(), joining.end(), id));
        settled.notify_all();
    }

    mutable std::mutex mutex;
    std::condition_variable settled;
    std::shared_ptr<Session> session;
    std::thread current;
    std::vector<std::thread> leftovers;
    std::vector<std::thread::id> joining;
};

} // namespace standin
