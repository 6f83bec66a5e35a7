// Sequences of mouse, right-click and cursor events on the displays' windows,
// interleaved with toggles, menu choices, frames, operating-system closes and
// monitor changes, through the real plugin loaded once in the simulator host,
// on a desk the input may choose: the user-interface scale, where the global
// desktop lies against the operating system's, and where the simulator runs.
//
// The plugin is loaded once per process and never unloaded: its coverage
// counters live in it. Its settings stay in memory across disable and enable,
// as in a long simulator session, so one input starts where the last left off.

#include "XPLMDisplay.h"
#include "host.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

using simhost::host;
using simhost::rect;

// The plugin's deferred start-up builds its menu and opens its displays at the 51st frame.
constexpr int startup_frames = 51;
constexpr int max_operations = 256;
// Positions near a window reach this far past its corners and edges, beyond
// the 50-boxel corners and the 25-boxel bottom band.
constexpr int near_reach = 64;

struct display {
    const char *command;
    const char *menu_item;
    const char *title;
};

const display displays[] = {
    {"kyv/popup/PFD_NOBEZEL", "PFD POPUP", "KYV G1000 PFD Bezelless"},
    {"kyv/popup/MFD_NOBEZEL", "MFD POPUP", "KYV G1000 MFD Bezelless"},
    {"kyv/popup/PFD_2_NOBEZEL", "PFD2 POPUP", "KYV G1000 PFD 2 Bezelless"},
};
constexpr int display_count = 3;

// Monitor layouts, the first the desk every input starts on: a 1920 x 1080
// main monitor with two 1024 x 768 screens to its right. Rectangles are
// {left, top, right, bottom}.
const std::vector<std::vector<rect>> layouts = {
    {{0, 1080, 1920, 0}, {1920, 768, 2944, 0}, {2944, 768, 3968, 0}},
    // Both small screens unplugged.
    {{0, 1080, 1920, 0}},
    // The last one unplugged.
    {{0, 1080, 1920, 0}, {1920, 768, 2944, 0}},
    // The small screens moved to the left of the main one.
    {{0, 1080, 1920, 0}, {-2048, 768, -1024, 0}, {-1024, 768, 0, 0}},
    // Screens 800 and 683 wide above the main monitor.
    {{0, 1080, 1920, 0}, {0, 1680, 800, 1080}, {800, 1592, 1483, 1080}},
    // A small main monitor with the large one beside it.
    {{0, 768, 1024, 0}, {1024, 1080, 2944, 0}, {2944, 768, 3968, 0}},
};

// The desk an input may choose, beyond the layout: an input whose first byte
// has its high bit set begins with it.
constexpr uint8_t desk_marker = 0x80;
const int scales[] = {100, 150, 200};
// Where the operating system's origin lies on the global desktop, in boxels.
struct offset {
    int x, y;
};
const offset offsets[] = {{0, 0},    {-1920, 0},      {0, 1080},           {1920, -1080},
                          {-37, 53}, {-65536, 65536}, {1000000, -1000000}, {-3000, -2000}};
// Full screen on every monitor (the simulator's habit after a layout change),
// on some of them, or in one window of the operating system.
enum class sim_on { every_monitor, some_monitors, a_window };

struct desk {
    int scale = 100;
    offset origin{0, 0};
    sim_on on = sim_on::every_monitor;
    uint8_t pick = 0; // which monitors, or which window
};

const int extremes[] = {INT_MIN, INT_MIN + 1,          INT_MIN + near_reach, -65536,
                        65536,   INT_MAX - near_reach, INT_MAX - 1,          INT_MAX};

enum op : uint8_t {
    op_move,
    op_down,
    op_up,
    op_click,
    op_right_down,
    op_right_up,
    op_right_click,
    op_wheel,
    op_command,
    op_menu,
    op_frames,
    op_close_os_window,
    op_layout,
    op_drag,
    op_move_again,
    op_frame,
    op_count
};

// The input, front to back; zeros once it runs out.
class byte_reader {
public:
    byte_reader(const uint8_t *data, size_t size) : p_(data), end_(data + size) {}

    bool empty() const { return p_ == end_; }
    uint8_t peek() const { return p_ != end_ ? *p_ : 0; }
    uint8_t u8() { return p_ != end_ ? *p_++ : 0; }
    // Little endian; the low byte is read first.
    uint16_t u16()
    {
        const uint16_t low = u8();
        return static_cast<uint16_t>(low | u8() << 8);
    }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    int32_t i32()
    {
        const uint32_t low = u16();
        return static_cast<int32_t>(low | static_cast<uint32_t>(u16()) << 16);
    }

private:
    const uint8_t *p_;
    const uint8_t *end_;
};

struct point {
    int x, y;
};

// The desk header: the marker byte's low seven bits d give the scale (d % 3),
// where the simulator runs (d / 3 % 3) and the offset (d / 9 % 8); a
// simulator on some monitors or in a window reads one byte more.
desk read_desk(byte_reader &in)
{
    desk d;
    if ((in.peek() & desk_marker) == 0)
        return d;
    const int bits = in.u8() & ~desk_marker;
    d.scale = scales[bits % 3];
    d.on = static_cast<sim_on>(bits / 3 % 3);
    d.origin = offsets[bits / 9 % 8];
    if (d.on != sim_on::every_monitor)
        d.pick = in.u8();
    return d;
}

// Puts the simulator on the monitors now plugged in as the desk says, and
// gives its main screen (or its window) in boxels. For some monitors, the
// pick's low bits are the set (none: the first alone) and its high nibble
// which of them is the main one; for a window, its low two bits the monitor
// and the next two how far the window stands in from the monitor's edges,
// in eighths.
rect place_simulator(host &h, const desk &d)
{
    const std::vector<rect> &os = h.monitors();
    const int n = static_cast<int>(os.size());
    switch (d.on) {
    case sim_on::every_monitor:
        return h.to_global(os.front());
    case sim_on::some_monitors: {
        std::vector<int> set;
        for (int i = 0; i < n; i++) {
            if ((d.pick >> i & 1) != 0)
                set.push_back(i);
        }
        if (set.empty())
            set.push_back(0);
        const int main = set[static_cast<size_t>(d.pick >> 4) % set.size()];
        if (!h.set_full_screen(set, main))
            fuzz_fail("the host refused a full-screen set", h.error());
        return h.to_global(os[static_cast<size_t>(main)]);
    }
    case sim_on::a_window: {
        const rect &m = os[static_cast<size_t>((d.pick & 3) % n)];
        const int in_x = m.width() / 8 * (d.pick >> 2 & 3), in_y = m.height() / 8 * (d.pick >> 2 & 3);
        const rect window{m.left + in_x, m.top - in_y, m.right - in_x, m.bottom + in_y};
        if (!h.set_windowed(window))
            fuzz_fail("the host refused the simulator's window", h.error());
        return h.to_global(window);
    }
    }
    return h.to_global(os.front());
}

int clamp_to_int(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// Where a click on the window lands: popped-out windows take clicks in their
// operating-system window, as it lies on the global desktop.
rect clickable(const host::window_info &w)
{
    return w.popped_out ? w.os_in_global : w.geometry;
}

std::vector<host::window_info> visible_windows(const host &h)
{
    std::vector<host::window_info> out;
    for (const host::window_info &w : h.windows()) {
        if (w.visible)
            out.push_back(w);
    }
    return out;
}

// Every monitor plugged in, the simulator's or not, in boxels.
rect desktop_bounds(const host &h)
{
    rect b = h.to_global(h.monitors().front());
    for (const rect &os : h.monitors()) {
        const rect m = h.to_global(os);
        b.left = std::min(b.left, m.left);
        b.bottom = std::min(b.bottom, m.bottom);
        b.right = std::max(b.right, m.right);
        b.top = std::max(b.top, m.top);
    }
    return b;
}

// One of nine anchors of a rectangle (corners, edge middles, centre), moved
// by up to near_reach boxels each way.
point near_window(const rect &r, byte_reader &in)
{
    const uint8_t anchor = in.u8() % 9;
    const long long xs[] = {r.left, (static_cast<long long>(r.left) + r.right) / 2, r.right};
    const long long ys[] = {r.top, (static_cast<long long>(r.top) + r.bottom) / 2, r.bottom};
    const int dx = in.u8() % (2 * near_reach + 1) - near_reach;
    const int dy = in.u8() % (2 * near_reach + 1) - near_reach;
    return {clamp_to_int(xs[anchor % 3] + dx), clamp_to_int(ys[anchor / 3] + dy)};
}

// Mostly near a shown window's corners and edges (or the simulator's main
// screen, `home`), sometimes anywhere on or around the desktop, sometimes at
// the ends of the integer range.
point read_point(const host &h, byte_reader &in, const rect &home)
{
    const uint8_t kind = in.u8() % 8;
    if (kind < 5) {
        const std::vector<host::window_info> shown = visible_windows(h);
        const uint8_t pick = in.u8();
        const rect r = shown.empty() ? home : clickable(shown[pick % shown.size()]);
        return near_window(r, in);
    }
    if (kind == 5) {
        const rect b = desktop_bounds(h);
        const long long margin = 1024;
        const long long w = static_cast<long long>(b.right) - b.left + 2 * margin;
        const long long ht = static_cast<long long>(b.top) - b.bottom + 2 * margin;
        const uint16_t ux = in.u16(), uy = in.u16();
        return {clamp_to_int(b.left - margin + ux % w), clamp_to_int(b.bottom - margin + uy % ht)};
    }
    if (kind == 6) {
        const uint8_t ex = in.u8(), ey = in.u8();
        return {extremes[ex % 8], extremes[ey % 8]};
    }
    const int x = in.i32();
    return {x, in.i32()};
}

// The plugin must never misuse the simulator's interface, never call it off
// the main thread, and keep every window it shows inside the simulator at a
// usable size within the limits it declared itself.
void check_host(const host &h, const char *when, int step)
{
    const std::string where = std::string(when) + " (operation " + std::to_string(step) + ")";
    if (!h.unexpected_calls().empty())
        fuzz_fail("the plugin misused the interface", h.unexpected_calls().front() + " " + where);
    if (h.off_thread_calls() != 0)
        fuzz_fail("the plugin called the interface off the main thread", where);
    for (const host::window_info &w : h.windows()) {
        if (!w.visible || w.popped_out || w.in_vr)
            continue;
        const long long width = static_cast<long long>(w.geometry.right) - w.geometry.left;
        const long long height = static_cast<long long>(w.geometry.top) - w.geometry.bottom;
        const std::string size =
            w.title + " " + std::to_string(width) + " x " + std::to_string(height) + " " + where;
        if (width <= 0 || height <= 0)
            fuzz_fail("a shown window has no area", size);
        // Full-screen windows take the monitor's size; the others the plugin
        // sizes: never narrower than its declared minimum. Its resize handles
        // set no maximum, so the declared maximum is not checked.
        if (w.mode == xplm_WindowPositionFree && width < w.min_width)
            fuzz_fail("a floating window is narrower than the minimum the plugin declared", size);
    }
}

bool shown(const host &h, const char *title)
{
    for (const host::window_info &w : h.windows()) {
        if (w.title == title)
            return w.visible;
    }
    return false;
}

// A display's command (or menu item) shows its hidden window and hides its
// shown one; a press alone changes nothing.
void check_toggle(const host &h, const display &d, bool before, bool toggled, int step)
{
    if (shown(h, d.title) != (toggled ? !before : before))
        fuzz_fail(toggled ? "a toggle did not flip the window" : "a command's press alone changed the window",
                  std::string(d.title) + " at operation " + std::to_string(step));
}

// The pilot's hands: which buttons are down, as the harness pressed them.
struct hands {
    bool left = false;
    bool right = false;
};

// What an input set up and holds as it runs.
struct input_state {
    desk d;
    rect home; // the simulator's main screen, or its window, in boxels
    hands held;
};

void run_command(host &h, byte_reader &in, int step)
{
    const uint8_t b = in.u8();
    const display &d = displays[b % display_count];
    const bool before = shown(h, d.title);
    switch (b / display_count % 3) {
    case 0:
        h.command(d.command, host::press::once);
        check_toggle(h, d, before, true, step);
        break;
    case 1:
        h.command(d.command, host::press::begin);
        check_toggle(h, d, before, false, step);
        break;
    default: {
        const bool ended = h.command(d.command, host::press::end);
        check_toggle(h, d, before, ended, step);
        break;
    }
    }
}

void run_menu(host &h, byte_reader &in, int step)
{
    const display &d = displays[in.u8() % display_count];
    const bool before = shown(h, d.title);
    const bool chosen = h.choose_menu({"KYV Popups", d.menu_item});
    check_toggle(h, d, before, chosen, step);
}

void close_os_window(host &h, byte_reader &in)
{
    std::vector<int> popped;
    for (const host::window_info &w : h.windows()) {
        if (w.visible && w.popped_out)
            popped.push_back(w.number);
    }
    const uint8_t pick = in.u8();
    if (!popped.empty())
        h.close_os_window(popped[pick % popped.size()]);
}

// Press, move in a few steps by a distance of up to 32767 boxels each way, release.
void drag(host &h, byte_reader &in, input_state &st)
{
    const point from = read_point(h, in, st.home);
    const int dx = in.i16(), dy = in.i16();
    const int steps = 1 + in.u8() % 8;
    h.mouse_down(from.x, from.y);
    for (int i = 1; i <= steps; i++) {
        h.mouse_move(clamp_to_int(from.x + static_cast<long long>(dx) * i / steps),
                     clamp_to_int(from.y + static_cast<long long>(dy) * i / steps));
    }
    h.mouse_up(h.mouse_x(), h.mouse_y());
    st.held.left = false;
}

void run_operation(host &h, byte_reader &in, input_state &st, int step)
{
    const uint8_t code = in.u8() % op_count;
    switch (code) {
    case op_move:
    case op_move_again: {
        const point p = read_point(h, in, st.home);
        h.mouse_move(p.x, p.y);
        break;
    }
    case op_down: {
        const point p = read_point(h, in, st.home);
        h.mouse_down(p.x, p.y);
        st.held.left = true;
        break;
    }
    case op_up: {
        const point p = read_point(h, in, st.home);
        h.mouse_up(p.x, p.y);
        st.held.left = false;
        break;
    }
    case op_click: {
        const point p = read_point(h, in, st.home);
        h.click(p.x, p.y);
        st.held.left = false;
        break;
    }
    case op_right_down: {
        const point p = read_point(h, in, st.home);
        h.right_down(p.x, p.y);
        st.held.right = true;
        break;
    }
    case op_right_up: {
        const point p = read_point(h, in, st.home);
        h.right_up(p.x, p.y);
        st.held.right = false;
        break;
    }
    case op_right_click: {
        const point p = read_point(h, in, st.home);
        h.right_click(p.x, p.y);
        st.held.right = false;
        break;
    }
    case op_wheel: {
        const point p = read_point(h, in, st.home);
        const uint8_t b = in.u8();
        h.mouse_wheel(p.x, p.y, b & 1, static_cast<int8_t>(b & 0xfe) / 2);
        break;
    }
    case op_command:
        run_command(h, in, step);
        break;
    case op_menu:
        run_menu(h, in, step);
        break;
    case op_frames:
        h.run_frames(1 + in.u8() % 3);
        break;
    case op_frame:
        h.run_frames(1);
        break;
    case op_close_os_window:
        close_os_window(h, in);
        break;
    case op_layout:
        // The simulator goes on running where the desk says, on what is left.
        if (!h.set_monitors(layouts[in.u8() % layouts.size()]))
            fuzz_fail("the host refused a monitor layout", h.error());
        st.home = place_simulator(h, st.d);
        break;
    case op_drag:
        drag(h, in, st);
        break;
    default:
        break;
    }
}

// Lets go of every button and command the input left held.
void release_everything(host &h, const hands &held)
{
    if (held.left)
        h.mouse_up(h.mouse_x(), h.mouse_y());
    if (held.right)
        h.right_up(h.mouse_x(), h.mouse_y());
    for (const display &d : displays) {
        if (h.command_held(d.command))
            h.command(d.command, host::press::end);
    }
}

void check_disabled(const host &h)
{
    const std::vector<host::window_info> left = h.windows();
    if (!left.empty())
        fuzz_fail("a window outlived the disable", left.front().title);
    for (const display &d : displays) {
        if (h.command_held(d.command))
            fuzz_fail("a command stayed held after the disable", d.command);
    }
}

// A copy of the built plugin folder, loaded and started in a host that lives
// as long as the process.
struct session {
    scratch_dir dir{"kyv_events_fuzz"};
    host *sim = nullptr;

    session()
    {
        namespace fs = std::filesystem;
        const std::string plugin_dir = dir / "kyv_pop";
        fs::create_directories(plugin_dir + "/lin_x64");
        fs::create_directories(plugin_dir + "/settings");
        fs::copy_file(std::string(KYV_PLUGIN_DIR) + "/lin_x64/kyv_pop.xpl",
                      plugin_dir + "/lin_x64/kyv_pop.xpl");
        fs::copy(std::string(KYV_PLUGIN_DIR) + "/resources", plugin_dir + "/resources",
                 fs::copy_options::recursive);
        // Never destroyed: unloading an instrumented module while the fuzzer
        // runs would pull its coverage counters away.
        sim = new host();
        if (!sim->load_plugin_folder(plugin_dir) || !sim->start())
            fuzz_fail("the plugin could not be loaded and started", sim->error());
    }
};

host &simulator()
{
    static session s;
    return *s.sim;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    simulator();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    host &h = simulator();
    byte_reader in(data, size);
    input_state st;
    st.d = read_desk(in);
    // Every input sets the whole desk: no crash file could reproduce one left
    // by the input before.
    if (!h.set_monitors(layouts.front()) || !h.set_ui_scale(st.d.scale))
        fuzz_fail("the host refused the desk", h.error());
    h.set_desktop_offset(st.d.origin.x, st.d.origin.y);
    st.home = place_simulator(h, st.d);
    // The mouse would otherwise stay where the last input left it, which no
    // crash file could reproduce; the plugin's settings carry over by design.
    h.mouse_move(clamp_to_int((static_cast<long long>(st.home.left) + st.home.right) / 2),
                 clamp_to_int((static_cast<long long>(st.home.bottom) + st.home.top) / 2));
    if (!h.enable())
        fuzz_fail("the plugin could not be enabled", h.error());
    h.run_frames(startup_frames);
    check_host(h, "after the start-up", 0);

    for (int step = 1; step <= max_operations && !in.empty(); step++) {
        run_operation(h, in, st, step);
        check_host(h, "after an operation", step);
    }

    release_everything(h, st.held);
    check_host(h, "after letting go", max_operations + 1);
    if (!h.disable())
        fuzz_fail("the plugin could not be disabled", h.error());
    check_disabled(h);
    check_host(h, "after the disable", max_operations + 2);
    return 0;
}
