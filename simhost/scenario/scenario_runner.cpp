#include "scenario/scenario_runner.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace simhost {

namespace {

// Long runs report how far they have come this many times.
const int progress_reports = 10;
const long long_run_frames = 600;

int between(int from, int to, long k, long n)
{
    return static_cast<int>(from + (static_cast<long long>(to) - from) * k / n);
}

} // namespace

bool apply_setup(host &h, const scenario &sc, std::string &error)
{
    h.set_sim_version(sc.simulator);
    if (h.set_desk(sc.desk) && h.load_aircraft(sc.model, sc.aircraft))
        return true;
    error = sc.file + ": " + h.error();
    return false;
}

scenario_runner::scenario_runner(host &h, const scenario &sc, std::string out_dir, FILE *progress)
    : h_(h), sc_(sc), out_dir_(std::move(out_dir)), progress_(progress)
{
}

bool scenario_runner::fail(int line, const std::string &why)
{
    const std::string text = line > 0 ? sc_.file + ":" + std::to_string(line) + ": " + why : why;
    if (failed_++ == 0)
        error_ = text;
    if (keep_going_)
        fprintf(stderr, "headless_sim: %s; going on\n", text.c_str());
    return false;
}

bool scenario_runner::carry_on(bool done)
{
    return done || keep_going_;
}

bool scenario_runner::screenshot(const std::string &name, int line)
{
    std::vector<std::string> written;
    const bool ok = h_.save_screenshots(out_dir_, name, written);
    screenshots_.insert(screenshots_.end(), written.begin(), written.end());
    return ok || fail(line, "screenshot " + name + ": " + h_.error());
}

bool scenario_runner::perform(const scenario_action &a)
{
    if (progress_ != nullptr)
        fprintf(progress_, "%s\n", describe(a).c_str());
    switch (a.kind) {
    case action_kind::command_once:
        return h_.command(a.name, host::press::once) || fail(a.line, h_.error());
    case action_kind::command_begin:
        return h_.command(a.name, host::press::begin) || fail(a.line, h_.error());
    case action_kind::command_end:
        return h_.command(a.name, host::press::end) || fail(a.line, h_.error());
    case action_kind::hold:
        if (!h_.command(a.name, host::press::begin))
            return fail(a.line, h_.error());
        steps_.push_back(step{a.frame + a.frames, step::what::command_end, a.name, 0, 0, a.line});
        return true;
    case action_kind::menu:
        return h_.choose_menu(a.menu_path) || fail(a.line, h_.error());
    case action_kind::mouse:
        h_.mouse_move(a.x, a.y);
        return true;
    case action_kind::click:
        h_.click(a.x, a.y);
        return true;
    case action_kind::drag:
        h_.mouse_down(a.x, a.y);
        for (long k = 1; k <= a.frames; k++)
            steps_.push_back(step{a.frame + k,
                                  step::what::move,
                                  {},
                                  between(a.x, a.x2, k, a.frames),
                                  between(a.y, a.y2, k, a.frames),
                                  a.line});
        steps_.push_back(step{a.frame + a.frames, step::what::release, {}, a.x2, a.y2, a.line});
        return true;
    case action_kind::right_click:
        h_.right_click(a.x, a.y);
        return true;
    case action_kind::set_dataref:
        h_.set_int_dataref(a.name, a.value);
        return true;
    case action_kind::disable:
        return h_.disable() || fail(a.line, h_.error());
    case action_kind::enable:
        return h_.enable() || fail(a.line, h_.error());
    case action_kind::screenshot:
        return screenshot(a.name, a.line);
    case action_kind::os_move:
        return h_.os_move(a.value, a.x, a.y) || fail(a.line, h_.error());
    case action_kind::os_resize:
        return h_.os_resize(a.value, a.x, a.y) || fail(a.line, h_.error());
    case action_kind::aircraft:
        return h_.load_aircraft(a.model, a.devices) || fail(a.line, h_.error());
    case action_kind::device_power:
        return h_.set_device_bus_volts(a.devices.front().id, static_cast<float>(a.ratio)) ||
               fail(a.line, h_.error());
    case action_kind::device_drawn:
        return h_.set_device_drawn(a.devices.front().id, a.on) || fail(a.line, h_.error());
    case action_kind::key:
        // With no window focused the simulator takes the key: nothing to fail.
        h_.key_press(a.key.key, a.key.vkey, a.key.flags);
        return true;
    case action_kind::close_box:
        for (const host::window_info &w : h_.windows()) {
            if (w.visible && w.title == a.name)
                return h_.click_close_box(w.number) || fail(a.line, h_.error());
        }
        return fail(a.line, "closebox: no visible window titled \"" + a.name + "\"");
    }
    return fail(a.line, "an action the runner does not know");
}

bool scenario_runner::perform(const step &s)
{
    switch (s.kind) {
    case step::what::command_end:
        return h_.command(s.command, host::press::end) || fail(s.line, h_.error());
    case step::what::move:
        h_.mouse_move(s.x, s.y);
        return true;
    case step::what::release:
        h_.mouse_up(s.x, s.y);
        return true;
    }
    return true;
}

void scenario_runner::report_progress(long frame)
{
    if (progress_ == nullptr || live_stop_ != nullptr || sc_.frames < long_run_frames ||
        frame < next_progress_)
        return;
    fprintf(progress_, "frame %ld of %ld\n", frame, sc_.frames);
    fflush(progress_);
    next_progress_ = frame + sc_.frames / progress_reports;
}

void scenario_runner::pace(std::chrono::steady_clock::time_point &next_frame_at) const
{
    const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(1.0 / sc_.fps));
    next_frame_at += period;
    const auto now = std::chrono::steady_clock::now();
    // A frame that fell behind by more than a period starts the count anew
    // rather than running the missed frames back to back.
    if (now > next_frame_at + period)
        next_frame_at = now;
    else
        std::this_thread::sleep_until(next_frame_at);
}

bool scenario_runner::run()
{
    h_.set_gl_habits(sc_.gl);
    size_t next_action = 0;
    std::chrono::steady_clock::time_point next_frame_at = std::chrono::steady_clock::now();
    next_progress_ = sc_.frames / progress_reports;
    for (long frame = 0;; frame++) {
        // Steps first: a drag's release lands before an action of the same frame.
        for (size_t i = 0; i < steps_.size();) {
            if (steps_[i].frame != frame) {
                i++;
                continue;
            }
            const step s = steps_[i];
            steps_.erase(steps_.begin() + static_cast<long>(i));
            if (!carry_on(perform(s)))
                return false;
        }
        while (next_action < sc_.actions.size() && sc_.actions[next_action].frame == frame) {
            if (!carry_on(perform(sc_.actions[next_action++])))
                return false;
        }
        if (live_stop_ != nullptr ? live_stop_->load() : frame >= sc_.frames)
            break;
        h_.run_frames(1);
        if (live_stop_ != nullptr)
            pace(next_frame_at);
        if (timing_)
            timings_.push_back(h_.last_plugin_timing());
        report_progress(frame + 1);
    }
    if (h_.has_gl())
        screenshot("final", 0);
    return failed_ == 0;
}

} // namespace simhost
