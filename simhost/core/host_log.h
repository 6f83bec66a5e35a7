#pragma once

// Everything the host records in writing: the plugin's debug strings, the
// host's own messages and the XPLM calls it could not honour.

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace simhost::detail {

class host_log {
public:
    host_log();

    bool set_file(const std::string &path, std::string &error);

    // Safe from any thread: plugins log from their worker threads too.
    void debug_string(const char *text);
    const std::vector<std::string> &debug_strings() const;

    // A note of the host's own, to stderr, the log file and messages().
    void message(const std::string &text);
    const std::vector<std::string> &messages() const { return messages_; }

    // Records one call the host could not honour; only the first of a name is
    // written out, so per-frame calls cost no allocation after the first.
    void unexpected(const char *call, const char *detail = nullptr);
    // The same for a misuse that is no call: GL state a callback left behind.
    void misuse(const char *what, const char *detail);
    const std::vector<std::string> &unexpected_calls() const { return unexpected_; }
    size_t unexpected_count(const std::string &call) const;

private:
    void note(const char *kind, const char *name, const char *detail);
    void write_file(const char *text, size_t len);
    void drain_pending() const;

    struct file_closer {
        void operator()(FILE *f) const { fclose(f); }
    };

    std::thread::id main_thread_;
    mutable std::mutex mutex_; // guards pending_ and file_
    std::unique_ptr<FILE, file_closer> file_;
    mutable std::vector<std::string> strings_;
    mutable std::vector<std::string> pending_; // from other threads, until the main thread reads
    std::vector<std::string> messages_;
    std::vector<std::string> unexpected_;
    std::vector<size_t> unexpected_counts_;
};

} // namespace simhost::detail
