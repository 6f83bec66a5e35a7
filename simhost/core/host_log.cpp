#include "core/host_log.h"

#include <cstring>

namespace simhost::detail {

host_log::host_log() : main_thread_(std::this_thread::get_id()) {}

bool host_log::set_file(const std::string &path, std::string &error)
{
    FILE *f = fopen(path.c_str(), "ab");
    if (f == nullptr) {
        error = "cannot open log file " + path + ": " + strerror(errno);
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    file_.reset(f);
    return true;
}

void host_log::write_file(const char *text, size_t len)
{
    if (file_ == nullptr)
        return;
    fwrite(text, 1, len, file_.get());
    // The log is read after crashes, so nothing may wait in a buffer.
    fflush(file_.get());
}

void host_log::drain_pending() const
{
    for (std::string &s : pending_)
        strings_.push_back(std::move(s));
    pending_.clear();
}

void host_log::debug_string(const char *text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    write_file(text, strlen(text));
    if (std::this_thread::get_id() == main_thread_) {
        drain_pending();
        strings_.emplace_back(text);
    } else {
        pending_.emplace_back(text);
    }
}

const std::vector<std::string> &host_log::debug_strings() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    drain_pending();
    return strings_;
}

void host_log::message(const std::string &text)
{
    std::string line = "simhost: " + text + "\n";
    fputs(line.c_str(), stderr);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        write_file(line.data(), line.size());
    }
    line.pop_back();
    messages_.push_back(std::move(line));
}

void host_log::unexpected(const char *call, const char *detail)
{
    note("unexpected XPLM call ", call, detail);
}

void host_log::misuse(const char *what, const char *detail)
{
    note("misuse: ", what, detail);
}

void host_log::note(const char *kind, const char *call, const char *detail)
{
    for (size_t i = 0; i < unexpected_.size(); i++) {
        if (unexpected_[i] == call) {
            unexpected_counts_[i]++;
            return;
        }
    }
    unexpected_.emplace_back(call);
    unexpected_counts_.push_back(1);
    std::string text = std::string(kind) + call;
    if (detail != nullptr)
        text += std::string(" (") + detail + ")";
    message(text);
}

size_t host_log::unexpected_count(const std::string &call) const
{
    for (size_t i = 0; i < unexpected_.size(); i++) {
        if (unexpected_[i] == call)
            return unexpected_counts_[i];
    }
    return 0;
}

} // namespace simhost::detail
