// Reading scenario files: a line tokenizer that knows quotes and comments, then
// one handler per keyword and action. Times in seconds become frames only after
// the whole file is read, since fps may be declared below them.

#include "scenario/scenario.h"

#include "XPLMDefs.h"
#include "world/desktop.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <tuple>
#include <utility>

namespace simhost {
namespace {

struct token {
    std::string text;
    bool quoted = false; // a quoted '>' is a menu item's text, not a separator
};

// Thrown and caught within this file, so that the handlers read as straight
// lines instead of checking every step.
struct parse_error {
    int line;
    std::string what;
};

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

bool ends_token(char c)
{
    return is_blank(c) || c == '#';
}

token read_quoted(const std::string &line, size_t &i, int line_no)
{
    const size_t open = i++;
    token t;
    t.quoted = true;
    while (true) {
        if (i == line.size())
            throw parse_error{line_no, "unterminated quote at '" + line.substr(open) + "'"};
        char c = line[i++];
        if (c == '"')
            break;
        if (c == '\\') {
            if (i == line.size() || (line[i] != '"' && line[i] != '\\'))
                throw parse_error{line_no, "in quotes a backslash must be followed by \" or \\: '" +
                                               line.substr(open, i - open + 1) + "'"};
            c = line[i++];
        }
        t.text += c;
    }
    if (i < line.size() && !ends_token(line[i]))
        throw parse_error{line_no,
                          "no space after the quoted '" + t.text + "' before '" + line.substr(i) + "'"};
    return t;
}

std::vector<token> split_line(const std::string &line, int line_no)
{
    std::vector<token> tokens;
    size_t i = 0;
    while (true) {
        while (i < line.size() && is_blank(line[i]))
            i++;
        if (i == line.size() || line[i] == '#')
            return tokens;
        if (line[i] == '"') {
            tokens.push_back(read_quoted(line, i, line_no));
            continue;
        }
        const size_t start = i;
        while (i < line.size() && !ends_token(line[i]))
            i++;
        token t{line.substr(start, i - start), false};
        if (t.text.find('"') != std::string::npos)
            throw parse_error{line_no, "stray quote in '" + t.text + "'"};
        tokens.push_back(std::move(t));
    }
}

// The tokens of one line, taken in order; `context` names the keyword or
// action in messages about missing and extra arguments.
class line_reader {
public:
    line_reader(std::vector<token> tokens, int line) : tokens_(std::move(tokens)), line_(line) {}

    int line() const { return line_; }
    bool at_end() const { return next_ == tokens_.size(); }
    // The token `ahead` places past the next one, or null past the end.
    const token *peek(size_t ahead = 0) const
    {
        return next_ + ahead < tokens_.size() ? &tokens_[next_ + ahead] : nullptr;
    }
    void set_context(const std::string &context) { context_ = context; }

    const token &next(const char *wanted)
    {
        if (at_end())
            fail(context_ + ": missing " + wanted);
        return tokens_[next_++];
    }
    void finish() const
    {
        if (!at_end())
            fail(context_ + ": extra argument '" + tokens_[next_].text + "'");
    }
    [[noreturn]] void fail(const std::string &what) const { throw parse_error{line_, what}; }

private:
    std::vector<token> tokens_;
    size_t next_ = 0;
    int line_;
    std::string context_;
};

// A whole number within [lo, hi]; anything past int is "out of range" even
// where hi allows more, since the host counts frames and boxels as int.
long long to_whole(const line_reader &r, const token &t, const char *what, long long lo,
                   long long hi = INT_MAX)
{
    const std::string &s = t.text;
    const size_t digits = s.size() > 0 && s[0] == '-' ? 1 : 0;
    if (s.size() == digits || s.find_first_not_of("0123456789", digits) != std::string::npos)
        r.fail(std::string(what) + " '" + s + "' is not a whole number");
    errno = 0;
    const long long v = strtoll(s.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX || v > hi)
        r.fail(std::string(what) + " '" + s + "' is out of range");
    if (v < lo)
        r.fail(std::string(what) + " must be at least " + std::to_string(lo) + ", not '" + s + "'");
    return v;
}

// Plain decimals only: no sign, exponent, hex or "inf" that strtod would take.
bool is_plain_decimal(const std::string &s)
{
    const size_t dot = s.find('.');
    return s.find_first_not_of("0123456789.") == std::string::npos && s != "." && !s.empty() &&
           (dot == std::string::npos || s.find('.', dot + 1) == std::string::npos);
}

int to_int(const line_reader &r, const token &t, const char *what, long long lo = INT_MIN)
{
    return static_cast<int>(to_whole(r, t, what, lo));
}

std::string read_name(line_reader &r, const char *wanted)
{
    const token &t = r.next(wanted);
    if (t.text.empty())
        r.fail(std::string("empty ") + wanted);
    return t.text;
}

bool is_screenshot_name(const std::string &s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '.' || c == '-';
    });
}

// Items are the words between '>' separators; a bare word may hold a '>'
// itself ("A>B"), a quoted one keeps it as text.
std::vector<std::string> read_menu_path(line_reader &r)
{
    std::vector<std::string> items;
    std::string item;
    bool have_item = false;
    auto add_word = [&](const std::string &word) {
        if (have_item)
            item += ' ';
        item += word;
        have_item = true;
    };
    auto end_item = [&] {
        if (!have_item)
            r.fail("menu: '>' must separate non-empty items");
        items.push_back(std::move(item));
        item.clear();
        have_item = false;
    };
    if (r.at_end())
        r.fail("menu: missing <item>");
    while (!r.at_end()) {
        const token &t = r.next("<item>");
        if (t.quoted) {
            if (t.text.empty())
                r.fail("menu: empty item \"\"");
            add_word(t.text);
            continue;
        }
        size_t start = 0;
        for (size_t gt; (gt = t.text.find('>', start)) != std::string::npos; start = gt + 1) {
            if (gt > start)
                add_word(t.text.substr(start, gt - start));
            end_item();
        }
        if (start < t.text.size())
            add_word(t.text.substr(start));
    }
    end_item();
    return items;
}

// "<w>x<h>", each within [lo, hi].
std::pair<int, int> read_size(const line_reader &r, const std::string &s, const std::string &what, int lo,
                              int hi)
{
    const size_t x = s.find('x');
    if (x == std::string::npos)
        r.fail(what + " size '" + s + "' is not <width>x<height>");
    return {static_cast<int>(to_whole(r, token{s.substr(0, x), false}, (what + " width").c_str(), lo, hi)),
            static_cast<int>(to_whole(r, token{s.substr(x + 1), false}, (what + " height").c_str(), lo, hi))};
}

// The cockpit devices: pfd1, mfd, pfd2, each optionally ":<width>x<height>".
struct device_name {
    const char *name;
    cockpit_device_id id;
};
const device_name device_names[] = {{"pfd1", cockpit_device_id::g1000_pfd_1},
                                    {"mfd", cockpit_device_id::g1000_mfd},
                                    {"pfd2", cockpit_device_id::g1000_pfd_2}};

const char *name_of_device(cockpit_device_id id)
{
    for (const device_name &d : device_names)
        if (d.id == id)
            return d.name;
    return "?";
}

cockpit_device read_device(line_reader &r, const token &t)
{
    const size_t colon = t.text.find(':');
    const std::string name = t.text.substr(0, colon);
    const device_name *known = nullptr;
    for (const device_name &n : device_names)
        if (name == n.name)
            known = &n;
    if (known == nullptr)
        r.fail("unknown device '" + name + "' (pfd1, mfd or pfd2)");
    cockpit_device d{known->id};
    if (colon == std::string::npos)
        return d;
    std::tie(d.width, d.height) = read_size(r, t.text.substr(colon + 1), "device", 1, 4096);
    return d;
}

// --- The aircraft's model: after its devices, in any order, "acf <file>",
// "path <path>", "panel <w>x<h>" and "pfd|mfd|pfd2 at <x>,<y>,<w>x<h>" ---
const char *const face_words[] = {"pfd", "mfd", "pfd2"};

// Whether the next tokens start a part rather than name a device.
bool at_model_part(const line_reader &r)
{
    const token *t = r.peek(), *then = r.peek(1);
    return t != nullptr && (t->text == "acf" || t->text == "path" || t->text == "panel" ||
                            (then != nullptr && then->text == "at"));
}

// "<x>,<y>,<w>x<h>" inside the largest panel.
panel_face read_face(const line_reader &r, const std::string &face, const std::string &place)
{
    const size_t c1 = place.find(','), c2 = c1 == std::string::npos ? c1 : place.find(',', c1 + 1);
    if (c2 == std::string::npos)
        r.fail(face + " place '" + place + "' is not <x>,<y>,<width>x<height>");
    panel_face f{};
    f.x = static_cast<int>(to_whole(r, token{place.substr(0, c1), false}, (face + " x").c_str(), 0));
    f.y = static_cast<int>(
        to_whole(r, token{place.substr(c1 + 1, c2 - c1 - 1), false}, (face + " y").c_str(), 0));
    std::tie(f.w, f.h) = read_size(r, place.substr(c2 + 1), face, 1, max_panel_side);
    return f;
}

void read_model_part(line_reader &r, aircraft_model &m, std::vector<std::string> &seen)
{
    const std::string part = r.next("").text;
    if (std::find(seen.begin(), seen.end(), part) != seen.end())
        r.fail("aircraft: '" + part + "' given twice");
    seen.push_back(part);
    if (part == "acf") {
        m.file = read_name(r, "<file name>");
        return;
    }
    if (part == "path") {
        m.path = read_name(r, "<path>");
        return;
    }
    if (part == "panel") {
        std::tie(m.panel_width, m.panel_height) =
            read_size(r, r.next("<width>x<height>").text, "panel", min_panel_side, max_panel_side);
        return;
    }
    for (size_t i = 0; i < m.faces.size(); i++) {
        if (part == face_words[i]) {
            r.next("at");
            m.faces[i] = read_face(r, part, r.next("<x>,<y>,<width>x<height>").text);
            return;
        }
    }
    r.fail("aircraft: unknown display '" + part + "' (pfd, mfd or pfd2)");
}

// The parts up to the end of the line, on the defaults; checked as the host would.
aircraft_model read_model(line_reader &r)
{
    aircraft_model m;
    std::vector<std::string> seen;
    while (!r.at_end()) {
        if (!at_model_part(r))
            r.fail("aircraft: expected acf, path, panel or pfd|mfd|pfd2 at, not '" + r.peek()->text + "'");
        read_model_part(r, m, seen);
    }
    const std::string problem = model_problem(m);
    if (!problem.empty())
        r.fail(problem);
    return m;
}

// --- end of the aircraft's model ---

// "none", or the devices the aircraft uses, each once; then its model's parts.
aircraft read_aircraft(line_reader &r, aircraft_model &model)
{
    aircraft devices;
    const token &first = r.next("none or <device>");
    if (first.text == "none") {
        model = read_model(r);
        return devices;
    }
    for (const token *t = &first;; t = &r.next("")) {
        const cockpit_device d = read_device(r, *t);
        for (const cockpit_device &o : devices)
            if (o.id == d.id)
                r.fail(std::string("device '") + name_of_device(d.id) + "' named twice");
        devices.push_back(d);
        if (r.at_end() || at_model_part(r)) {
            model = read_model(r);
            return devices;
        }
    }
}

void read_device_action(line_reader &r, scenario_action &a)
{
    const token &t = r.next("<device>");
    a.devices.push_back(read_device(r, t));
    if (t.text.find(':') != std::string::npos)
        r.fail("device: a size belongs to the aircraft, not to '" + t.text + "'");
    const std::string what = r.next("power|drawn").text;
    if (what == "power") {
        a.kind = action_kind::device_power;
        const std::string s = r.next("<ratio>").text;
        if (!is_plain_decimal(s))
            r.fail("power ratio '" + s + "' is not a number");
        a.ratio = strtod(s.c_str(), nullptr);
    } else if (what == "drawn") {
        a.kind = action_kind::device_drawn;
        const std::string s = r.next("on|off").text;
        if (s != "on" && s != "off")
            r.fail("device drawn: expected 'on' or 'off', not '" + s + "'");
        a.on = s == "on";
    } else {
        r.fail("device: expected 'power' or 'drawn', not '" + what + "'");
    }
}

std::string describe_devices(const aircraft &devices)
{
    if (devices.empty())
        return " none";
    std::string s;
    for (const cockpit_device &d : devices) {
        s += std::string(" ") + name_of_device(d.id);
        if (d.width != 1024 || d.height != 768)
            s += ":" + std::to_string(d.width) + "x" + std::to_string(d.height);
    }
    return s;
}

// "key <name> [shift] [ctrl] [alt]"
void read_key(line_reader &r, scenario_action &a)
{
    a.kind = action_kind::key;
    a.name = read_name(r, "<key>");
    if (!key_by_name(a.name, a.key))
        r.fail("key '" + a.name +
               "' is neither one printable character nor LEFT RIGHT UP DOWN RETURN TAB ESCAPE SPACE BACK");
    while (!r.at_end()) {
        const std::string m = r.next("").text;
        if (m != "shift" && m != "ctrl" && m != "alt")
            r.fail("key: expected 'shift', 'ctrl' or 'alt', not '" + m + "'");
        a.key = with_modifier(a.key, m == "shift"  ? xplm_ShiftFlag
                                     : m == "ctrl" ? xplm_ControlFlag
                                                   : xplm_OptionAltFlag);
    }
}

void read_action(line_reader &r, scenario_action &a)
{
    const std::string action = r.next("<action>").text;
    r.set_context(action);
    if (action == "command") {
        a.name = read_name(r, "<name>");
        if (!r.at_end()) {
            const std::string mode = r.next("").text;
            if (mode == "begin")
                a.kind = action_kind::command_begin;
            else if (mode == "end")
                a.kind = action_kind::command_end;
            else
                r.fail("command: expected 'begin' or 'end', not '" + mode + "'");
        } else {
            a.kind = action_kind::command_once;
        }
    } else if (action == "hold") {
        a.kind = action_kind::hold;
        a.name = read_name(r, "<name>");
        a.frames = to_whole(r, r.next("<frames>"), "hold length", 1);
    } else if (action == "menu") {
        a.kind = action_kind::menu;
        a.menu_path = read_menu_path(r);
    } else if (action == "mouse" || action == "click" || action == "rightclick") {
        a.kind = action == "mouse"   ? action_kind::mouse
                 : action == "click" ? action_kind::click
                                     : action_kind::right_click;
        a.x = to_int(r, r.next("<x>"), "x");
        a.y = to_int(r, r.next("<y>"), "y");
    } else if (action == "drag") {
        a.kind = action_kind::drag;
        a.x = to_int(r, r.next("<x1>"), "x1");
        a.y = to_int(r, r.next("<y1>"), "y1");
        a.x2 = to_int(r, r.next("<x2>"), "x2");
        a.y2 = to_int(r, r.next("<y2>"), "y2");
        a.frames = r.at_end() ? 10 : to_whole(r, r.next(""), "drag length", 1);
    } else if (action == "set") {
        a.kind = action_kind::set_dataref;
        a.name = read_name(r, "<dataref>");
        a.value = to_int(r, r.next("<integer>"), "value");
    } else if (action == "osmove" || action == "osresize") {
        const bool move = action == "osmove";
        a.kind = move ? action_kind::os_move : action_kind::os_resize;
        a.value = to_int(r, r.next("<window>"), "window", 1);
        a.x = move ? to_int(r, r.next("<left>"), "left") : to_int(r, r.next("<width>"), "width", 1);
        a.y = move ? to_int(r, r.next("<bottom>"), "bottom") : to_int(r, r.next("<height>"), "height", 1);
    } else if (action == "disable" || action == "enable") {
        a.kind = action == "disable" ? action_kind::disable : action_kind::enable;
    } else if (action == "aircraft") {
        a.kind = action_kind::aircraft;
        a.devices = read_aircraft(r, a.model);
    } else if (action == "device") {
        read_device_action(r, a);
    } else if (action == "key") {
        read_key(r, a);
    } else if (action == "closebox") {
        a.kind = action_kind::close_box;
        a.name = read_name(r, "<window title>");
    } else if (action == "screenshot") {
        a.kind = action_kind::screenshot;
        if (!r.at_end()) {
            a.name = r.next("").text;
            if (!is_screenshot_name(a.name))
                r.fail("screenshot name '" + a.name + "' may hold only A-Z a-z 0-9 _ . -");
        }
    } else {
        r.fail("unknown action '" + action + "'");
    }
    r.finish();
}

// An action as read, before its time in seconds can be turned into a frame.
struct pending_action {
    scenario_action action;
    std::string time; // as written, for messages
    bool in_seconds = false;
    double seconds = 0;
};

class scenario_reader {
public:
    explicit scenario_reader(scenario &out) : out_(out) {}

    void read_line(line_reader &r)
    {
        const std::string keyword = r.next("").text;
        r.set_context(keyword);
        if (keyword == "monitor")
            read_monitor(r);
        else if (keyword == "fps")
            read_fps(r);
        else if (keyword == "frames")
            read_frames(r);
        else if (keyword == "at")
            read_at(r);
        else if (keyword == "gl")
            read_gl_habit(r);
        else if (keyword == "fullscreen")
            read_full_screen(r);
        else if (keyword == "windowed")
            read_windowed(r);
        else if (keyword == "scale")
            read_scale(r);
        else if (keyword == "offset")
            read_offset(r);
        else if (keyword == "popped_geometry")
            read_popped_geometry(r);
        else if (keyword == "popout_delay")
            read_popout_delay(r);
        else if (keyword == "simulator")
            read_simulator(r);
        else if (keyword == "aircraft")
            read_start_aircraft(r);
        else
            r.fail("unknown keyword '" + keyword + "'");
        r.finish();
    }

    // Resolves times now that fps and frames are known, checks the run's end
    // and orders the actions.
    void finish()
    {
        check_desk();
        for (pending_action &p : pending_) {
            scenario_action &a = p.action;
            if (p.in_seconds) {
                const double f = p.seconds * out_.fps;
                if (f >= static_cast<double>(out_.frames) + 0.5)
                    fail_at(a.line, past_end("'" + p.time + "'"));
                a.frame = std::lround(f);
            }
            if (a.frame > out_.frames)
                fail_at(a.line, past_end("'" + p.time + "'"));
            if ((a.kind == action_kind::hold || a.kind == action_kind::drag) &&
                a.frame + a.frames > out_.frames) {
                fail_at(a.line, std::string(a.kind == action_kind::hold ? "hold" : "drag") + " at '" +
                                    p.time + "' ends at frame " + std::to_string(a.frame + a.frames) + ", " +
                                    past_end(""));
            }
            if (a.kind == action_kind::screenshot && a.name.empty())
                a.name = "frame" + std::to_string(a.frame);
            out_.actions.push_back(std::move(a));
        }
        std::stable_sort(
            out_.actions.begin(), out_.actions.end(),
            [](const scenario_action &l, const scenario_action &r) { return l.frame < r.frame; });
    }

private:
    [[noreturn]] static void fail_at(int line, const std::string &what) { throw parse_error{line, what}; }

    std::string past_end(const std::string &what) const
    {
        return (what.empty() ? "" : what + " is ") + "past the end of the run (" +
               std::to_string(out_.frames) + " frames)";
    }

    // <left> <bottom> <width> <height>, in pixels.
    static rect read_rect(line_reader &r)
    {
        const int left = to_int(r, r.next("<left>"), "left");
        const int bottom = to_int(r, r.next("<bottom>"), "bottom");
        const long long width = to_int(r, r.next("<width>"), "width", 1);
        const long long height = to_int(r, r.next("<height>"), "height", 1);
        if (left + width > INT_MAX || bottom + height > INT_MAX)
            r.fail("reaches past the largest coordinate");
        return rect{left, static_cast<int>(bottom + height), static_cast<int>(left + width), bottom};
    }

    void read_monitor(line_reader &r)
    {
        const monitor_bounds m = read_rect(r);
        // The first monitor line replaces the host's default monitor.
        if (monitor_lines_.empty())
            out_.desk.monitors.clear();
        for (size_t i = 0; i < out_.desk.monitors.size(); i++) {
            const monitor_bounds &o = out_.desk.monitors[i];
            if (m.overlaps(o))
                r.fail("monitor overlaps monitor " + std::to_string(i) + " on line " +
                       std::to_string(monitor_lines_[i]));
        }
        out_.desk.monitors.push_back(m);
        monitor_lines_.push_back(r.line());
    }

    void read_full_screen(line_reader &r)
    {
        once(r, "fullscreen", full_screen_line_);
        if (windowed_line_ != 0)
            r.fail("fullscreen and windowed (line " + std::to_string(windowed_line_) +
                   ") exclude each other");
        desk_config &d = out_.desk;
        d.full_screen.push_back(to_int(r, r.next("<monitor>"), "monitor", 0));
        while (!r.at_end()) {
            const token &t = r.next("");
            if (t.text == "main") {
                d.main = to_int(r, r.next("<monitor>"), "main monitor", 0);
                break;
            }
            d.full_screen.push_back(to_int(r, t, "monitor", 0));
        }
        if (d.main < 0)
            d.main = d.full_screen.front();
    }

    void read_windowed(line_reader &r)
    {
        once(r, "windowed", windowed_line_);
        if (full_screen_line_ != 0)
            r.fail("windowed and fullscreen (line " + std::to_string(full_screen_line_) +
                   ") exclude each other");
        out_.desk.windowed = true;
        out_.desk.window = read_rect(r);
    }

    void read_scale(line_reader &r)
    {
        once(r, "scale", scale_line_);
        const token &t = r.next("<percent>");
        const int percent = to_int(r, t, "scale");
        if (!desk_config::offered_scale(percent))
            r.fail("scale '" + t.text + "' is not 100, 150 or 200");
        out_.desk.scale = percent;
    }

    void read_offset(line_reader &r)
    {
        once(r, "offset", offset_line_);
        out_.desk.offset_x = to_int(r, r.next("<x>"), "x");
        out_.desk.offset_y = to_int(r, r.next("<y>"), "y");
    }

    // One of two words; true for the first.
    static bool read_choice(line_reader &r, const char *keyword, const char *first, const char *second)
    {
        const std::string word = r.next((std::string(first) + "|" + second).c_str()).text;
        if (word != first && word != second)
            r.fail(std::string(keyword) + ": expected '" + first + "' or '" + second + "', not '" + word +
                   "'");
        return word == first;
    }

    void read_popped_geometry(line_reader &r)
    {
        once(r, "popped_geometry", popped_line_);
        out_.desk.popped_last_floating = !read_choice(r, "popped_geometry", "os", "last_floating");
    }

    void read_popout_delay(line_reader &r)
    {
        once(r, "popout_delay", delay_line_);
        out_.desk.popout_delay = read_choice(r, "popout_delay", "on", "off");
    }

    // "simulator 11|12.1", "aircraft none|<device>..."
    void read_simulator(line_reader &r)
    {
        once(r, "simulator", simulator_line_);
        out_.simulator = read_choice(r, "simulator", "11", "12.1") ? sim_version::xp11 : sim_version::xp12_1;
    }

    void read_start_aircraft(line_reader &r)
    {
        once(r, "aircraft", aircraft_line_);
        out_.aircraft = read_aircraft(r, out_.model);
    }

    // The desk as the host would take it, so a bad one is reported with its line.
    void check_desk() const
    {
        detail::desktop d;
        std::string error;
        detail::desk_part part = detail::desk_part::monitors;
        if (d.configure(out_.desk, error, &part))
            return;
        switch (part) {
        case detail::desk_part::monitors:
            fail_at(monitor_lines_.front(), error);
        case detail::desk_part::full_screen:
            fail_at(full_screen_line_, error);
        case detail::desk_part::windowed:
            fail_at(windowed_line_, error);
        case detail::desk_part::scale:
            fail_at(scale_line_, error);
        }
    }

    void read_fps(line_reader &r)
    {
        once(r, "fps", fps_line_);
        const std::string s = r.next("<fps>").text;
        if (!is_plain_decimal(s))
            r.fail("fps '" + s + "' is not a number");
        out_.fps = strtod(s.c_str(), nullptr);
        if (!std::isfinite(out_.fps))
            r.fail("fps '" + s + "' is out of range");
        if (out_.fps <= 0)
            r.fail("fps must be more than 0, not '" + s + "'");
    }

    // --- The simulator's GL habits: "gl name_reuse on|off", "gl window_depth
    // cleared|kept", "gl panel_passes <render type>... | none" ---
    void read_gl_habit(line_reader &r)
    {
        const std::string habit = r.next("<habit>").text;
        r.set_context("gl " + habit);
        if (habit == "name_reuse") {
            out_.gl.texture_name_reuse = one_of(r, "on", "off");
        } else if (habit == "window_depth") {
            out_.gl.keep_window_depth = !one_of(r, "cleared", "kept");
        } else if (habit == "panel_passes") {
            out_.gl.panel_passes.clear();
            const token &first = r.next("<render type> or none");
            if (first.text == "none")
                return;
            out_.gl.panel_passes.push_back(to_int(r, first, "render type", 0));
            while (!r.at_end())
                out_.gl.panel_passes.push_back(to_int(r, r.next("<render type>"), "render type", 0));
        } else {
            r.fail("unknown habit '" + habit + "'");
        }
    }

    // True for the first word, false for the second; anything else fails.
    static bool one_of(line_reader &r, const char *yes, const char *no)
    {
        const std::string s = r.next(yes).text;
        if (s != yes && s != no)
            r.fail("'" + s + "' is neither " + yes + " nor " + no);
        return s == yes;
    }
    // --- end of the GL habits ---

    void read_frames(line_reader &r)
    {
        once(r, "frames", frames_line_);
        out_.frames = to_whole(r, r.next("<frames>"), "frames", 1);
    }

    void read_at(line_reader &r)
    {
        pending_action p;
        p.action.line = r.line();
        p.time = r.next("<time>").text;
        if (p.time.size() > 1 && p.time.back() == 's') {
            const std::string number = p.time.substr(0, p.time.size() - 1);
            if (!is_plain_decimal(number))
                r.fail("time '" + p.time + "' is not a frame number or seconds like 2.5s");
            p.in_seconds = true;
            p.seconds = strtod(number.c_str(), nullptr);
        } else {
            p.action.frame = to_whole(r, token{p.time, false}, "frame", 0);
        }
        read_action(r, p.action);
        pending_.push_back(std::move(p));
    }

    static void once(const line_reader &r, const char *keyword, int &first_line)
    {
        if (first_line != 0)
            r.fail(std::string("duplicate '") + keyword + "' (first on line " + std::to_string(first_line) +
                   ")");
        first_line = r.line();
    }

    scenario &out_;
    std::vector<pending_action> pending_;
    std::vector<int> monitor_lines_;
    int fps_line_ = 0;
    int frames_line_ = 0;
    int full_screen_line_ = 0, windowed_line_ = 0, scale_line_ = 0, offset_line_ = 0;
    int popped_line_ = 0, delay_line_ = 0;
    int simulator_line_ = 0, aircraft_line_ = 0;
};

// Names that the tokenizer would split or misread are shown quoted, so that
// a described action reads back as it was written.
std::string shown(const std::string &s, const char *quote_if_any = " \t#\"")
{
    if (!s.empty() && s.find_first_of(quote_if_any) == std::string::npos)
        return s;
    std::string q = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            q += '\\';
        q += c;
    }
    return q + '"';
}

// A key's name as written, then the modifiers written after it.
std::string describe_key(const scenario_action &a)
{
    key_stroke plain;
    key_by_name(a.name, plain);
    std::string s = shown(a.name);
    for (auto [flag, word] :
         {std::make_pair(xplm_ShiftFlag, " shift"), std::make_pair(xplm_ControlFlag, " ctrl"),
          std::make_pair(xplm_OptionAltFlag, " alt")}) {
        if ((a.key.flags & ~plain.flags & flag) != 0)
            s += word;
    }
    return s;
}

// The model's parts that are not the defaults, as an aircraft line has them.
std::string describe_model(const aircraft_model &m)
{
    const aircraft_model def;
    std::string s;
    if (m.file != def.file)
        s += " acf " + shown(m.file);
    if (!m.path.empty())
        s += " path " + shown(m.path);
    if (m.panel_width != def.panel_width || m.panel_height != def.panel_height)
        s += " panel " + std::to_string(m.panel_width) + "x" + std::to_string(m.panel_height);
    for (size_t i = 0; i < m.faces.size(); i++) {
        const panel_face &f = m.faces[i];
        if (!(f == def.faces[i]))
            s += std::string(" ") + face_words[i] + " at " + std::to_string(f.x) + "," + std::to_string(f.y) +
                 "," + std::to_string(f.w) + "x" + std::to_string(f.h);
    }
    return s;
}

} // namespace

bool parse_scenario(const std::string &text, const std::string &file, scenario &out, std::string &error)
{
    scenario result;
    result.file = file;
    scenario_reader reader(result);
    try {
        int line_no = 0;
        for (size_t start = 0; start <= text.size(); line_no++) {
            const size_t end = std::min(text.find('\n', start), text.size());
            line_reader r(split_line(text.substr(start, end - start), line_no + 1), line_no + 1);
            if (!r.at_end())
                reader.read_line(r);
            start = end + 1;
        }
        reader.finish();
    } catch (const parse_error &e) {
        error = file + ":" + std::to_string(e.line) + ": " + e.what;
        return false;
    }
    out = std::move(result);
    return true;
}

bool load_scenario(const std::string &path, scenario &out, std::string &error)
{
    std::unique_ptr<FILE, int (*)(FILE *)> f(fopen(path.c_str(), "rb"), fclose);
    std::string text;
    if (f) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), f.get())) > 0)
            text.append(buf, n);
    }
    // A folder opens but fails on reading, with its errno set there.
    if (!f || ferror(f.get())) {
        error = path + ": cannot read: " + strerror(errno);
        return false;
    }
    return parse_scenario(text, path, out, error);
}

std::string describe(const scenario_action &a)
{
    const std::string at = "frame " + std::to_string(a.frame) + ": ";
    const std::string xy = std::to_string(a.x) + " " + std::to_string(a.y);
    switch (a.kind) {
    case action_kind::command_once:
        return at + "command " + shown(a.name);
    case action_kind::command_begin:
        return at + "command " + shown(a.name) + " begin";
    case action_kind::command_end:
        return at + "command " + shown(a.name) + " end";
    case action_kind::hold:
        return at + "hold " + shown(a.name) + " " + std::to_string(a.frames);
    case action_kind::menu: {
        std::string s = at + "menu";
        for (size_t i = 0; i < a.menu_path.size(); i++)
            s += (i == 0 ? " " : " > ") + shown(a.menu_path[i], "\t#\">");
        return s;
    }
    case action_kind::mouse:
        return at + "mouse " + xy;
    case action_kind::click:
        return at + "click " + xy;
    case action_kind::drag:
        return at + "drag " + xy + " " + std::to_string(a.x2) + " " + std::to_string(a.y2) + " " +
               std::to_string(a.frames);
    case action_kind::right_click:
        return at + "rightclick " + xy;
    case action_kind::set_dataref:
        return at + "set " + shown(a.name) + " " + std::to_string(a.value);
    case action_kind::disable:
        return at + "disable";
    case action_kind::enable:
        return at + "enable";
    case action_kind::screenshot:
        return at + "screenshot " + a.name;
    case action_kind::os_move:
        return at + "osmove " + std::to_string(a.value) + " " + xy;
    case action_kind::os_resize:
        return at + "osresize " + std::to_string(a.value) + " " + xy;
    case action_kind::aircraft:
        return at + "aircraft" + describe_devices(a.devices) + describe_model(a.model);
    case action_kind::device_power: {
        char ratio[32];
        snprintf(ratio, sizeof(ratio), "%g", a.ratio);
        return at + "device" + describe_devices(a.devices) + " power " + ratio;
    }
    case action_kind::device_drawn:
        return at + "device" + describe_devices(a.devices) + " drawn " + (a.on ? "on" : "off");
    case action_kind::key:
        return at + "key " + describe_key(a);
    case action_kind::close_box:
        return at + "closebox " + shown(a.name);
    }
    return at + "unknown action";
}

} // namespace simhost
