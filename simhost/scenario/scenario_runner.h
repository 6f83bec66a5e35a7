#pragma once

// Plays a scenario on a host whose plugin is loaded, started and enabled:
// runs its frames, does each action at its frame, and writes the screenshots.

#include "host.h"
#include "scenario/scenario.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace simhost {

// Sets up the host as the scenario says before anything is loaded: the
// simulator's version, its desk and modes, and the aircraft it starts with;
// false, with the host's reason, when it refuses one.
bool apply_setup(host &h, const scenario &sc, std::string &error);

class scenario_runner {
public:
    // Screenshots go to `out_dir`; each action and the progress of long runs
    // are reported on `progress` (null: quiet).
    scenario_runner(host &h, const scenario &sc, std::string out_dir, FILE *progress);

    // With keep-going, an action that cannot be done is reported and the run
    // goes on; without, the run stops there.
    void set_keep_going(bool on) { keep_going_ = on; }
    // Keeps the host's plugin timing of every frame (see host::set_plugin_timing).
    void set_timing(bool on) { timing_ = on; }
    const std::vector<plugin_timing> &timings() const { return timings_; }
    // Live: frames paced at the scenario's rate in real time, past its last
    // frame, until `*stop` turns true (null: off).
    void set_live(const std::atomic<bool> *stop) { live_stop_ = stop; }

    // Runs to the end and takes the final screenshots ("final"). False when an
    // action could not be done; error() then names the line of the first.
    bool run();
    const std::string &error() const { return error_; }
    int failed_actions() const { return failed_; }
    const std::vector<std::string> &screenshots() const { return screenshots_; }

private:
    // One step of a longer action: the release of a held command, a move of a
    // drag, its release.
    struct step {
        long frame;
        enum class what { command_end, move, release } kind;
        std::string command;
        int x, y;
        int line;
    };

    bool perform(const scenario_action &a);
    bool perform(const step &s);
    bool screenshot(const std::string &name, int line);
    bool fail(int line, const std::string &why);
    // False when the run must stop.
    bool carry_on(bool done);
    void report_progress(long frame);
    // Sleeps until the next frame is due in real time.
    void pace(std::chrono::steady_clock::time_point &next_frame_at) const;

    host &h_;
    const scenario &sc_;
    std::string out_dir_;
    FILE *progress_;
    std::vector<step> steps_; // in the order they are due
    std::vector<std::string> screenshots_;
    std::string error_;
    long next_progress_ = 0;
    bool keep_going_ = false;
    bool timing_ = false;
    std::vector<plugin_timing> timings_;
    int failed_ = 0;
    const std::atomic<bool> *live_stop_ = nullptr;
};

} // namespace simhost
