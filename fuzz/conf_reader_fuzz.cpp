// The settings-file reader on arbitrary bytes. Whatever it accepts must be
// written out canonically, with every comment line of the input kept, read
// back without a malformed line, and written again byte for byte the same;
// its integers must agree with a reference.

#include <acfutils/conf.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include "fuzz_support.h"
#include "quiet_log.h"

namespace {

// The plugin's own keys: the ones every real file is read for.
const char *const plugin_keys[] = {
    "pfd_nbzl_x",
    "pfd_nbzl_y",
    "pfd_nbzl_w",
    "pfd_nbzl_h",
    "pfd_nbzl_fill_window",
    "pfd_nbzl_popup_at_start",
    "pfd_nbzl_monitor_start",
    "mfd_nbzl_x",
    "mfd_nbzl_y",
    "mfd_nbzl_w",
    "mfd_nbzl_h",
    "mfd_nbzl_fill_window",
    "mfd_nbzl_popup_at_start",
    "mfd_nbzl_monitor_start",
    "pfd_2_nbzl_x",
    "pfd_2_nbzl_y",
    "pfd_2_nbzl_w",
    "pfd_2_nbzl_h",
    "pfd_2_nbzl_fill_window",
    "pfd_2_nbzl_popup_at_start",
    "pfd_2_nbzl_monitor_start",
};

// Keys longer than this are refused by conf_set_i (a line must stay under 4096 bytes).
constexpr size_t longest_settable_key = 4096 - 32;

struct conf_deleter {
    void operator()(conf_t *c) const { conf_free(c); }
};
using conf_ptr = std::unique_ptr<conf_t, conf_deleter>;

struct scratch_files {
    scratch_dir dir{"kyv_conf_fuzz"};
    std::string input = dir / "input.cfg";
    std::string first = dir / "first.cfg";
    std::string second = dir / "second.cfg";
    std::string expected_listing = "first.cfg input.cfg second.cfg";
};

scratch_files &scratch()
{
    static scratch_files files;
    return files;
}

// What conf_get_i must make of a stored value: an optional sign, then only
// digits, the result within 32 bits.
std::optional<int> reference_int(const std::string &v)
{
    size_t i = 0;
    const bool neg = !v.empty() && v[0] == '-';
    if (!v.empty() && (v[0] == '-' || v[0] == '+'))
        i = 1;
    if (i == v.size())
        return std::nullopt;
    long long mag = 0;
    for (; i < v.size(); i++) {
        if (v[i] < '0' || v[i] > '9')
            return std::nullopt;
        mag = mag * 10 + (v[i] - '0');
        if (mag > 1LL << 32)
            return std::nullopt;
    }
    const long long value = neg ? -mag : mag;
    if (value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

// What the reader may keep as a key: printable, no blank, no '=', not a comment.
bool reference_key(const std::string &k)
{
    if (k.empty() || k[0] == '#')
        return false;
    for (unsigned char c : k) {
        if (c <= 0x20 || c >= 0x7f || c == '=')
            return false;
    }
    return true;
}

bool reference_value(const std::string &v)
{
    if (v.empty() || v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t')
        return false;
    for (unsigned char c : v) {
        if ((c < 0x20 && c != '\t') || c >= 0x7f)
            return false;
    }
    return true;
}

// The input's first line up to its '=', without blanks around it: often a
// key the file holds, sometimes something no file could.
std::string key_from_input(const uint8_t *data, size_t size)
{
    std::string key(reinterpret_cast<const char *>(data), size < 4200 ? size : 4200);
    key = key.substr(0, key.find_first_of(std::string("=\n\0", 3)));
    const size_t b = key.find_first_not_of(" \t");
    const size_t e = key.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : key.substr(b, e - b + 1);
}

void check_get_i(const conf_t *conf, const char *key, const std::optional<int> &want)
{
    const int sentinel = 0x5eed;
    int got = sentinel;
    const bool found = conf_get_i(conf, key, &got);
    if (found != want.has_value())
        fuzz_fail(found ? "conf_get_i read an integer from a value that is none"
                        : "conf_get_i missed an integer",
                  key);
    if (!found && got != sentinel)
        fuzz_fail("conf_get_i failed but changed its output", key);
    if (found && got != *want)
        fuzz_fail("conf_get_i read another integer than the value holds", key);
}

// The first write: canonical lines, unique valid keys and values, and every
// integer as the reference reads it.
void check_written(const conf_t *conf, const std::string &text)
{
    std::unordered_set<std::string> keys;
    for (const auto &[k, v] : written_entries(text)) {
        if (!reference_key(k))
            fuzz_fail("a key no reader could accept was kept", k);
        if (!reference_value(v))
            fuzz_fail("a value no reader could accept was kept", k + " = " + v);
        if (!keys.insert(k).second)
            fuzz_fail("a key was written twice", k);
        check_get_i(conf, k.c_str(), reference_int(v));
    }
    for (const char *k : plugin_keys) {
        if (keys.count(k) == 0)
            check_get_i(conf, k, std::nullopt);
    }
}

// Setting the input's key must stick exactly when the key could be read back.
void check_set_i(conf_t *conf, const std::string &key, int value)
{
    conf_set_i(conf, key.c_str(), value);
    const bool settable = reference_key(key) && key.size() <= longest_settable_key;
    check_get_i(conf, key.c_str(), settable ? std::optional<int>(value) : std::nullopt);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quiet_log();
    scratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const scratch_files &f = scratch();
    write_bytes(f.input, data, size);

    int errline = -2;
    conf_ptr conf(conf_read_file(f.input.c_str(), &errline));
    if (conf == nullptr)
        fuzz_fail("a readable file was refused");
    if (errline == 0 || errline < -1)
        fuzz_fail("the first malformed line number is out of range", std::to_string(errline));

    for (const char *k : plugin_keys) {
        int v = 0;
        conf_get_i(conf.get(), k, &v);
    }
    const std::string key = key_from_input(data, size);
    check_set_i(conf.get(), key, static_cast<int>(size) - 1000);

    if (!conf_write_file(conf.get(), f.first.c_str()))
        fuzz_fail("the first write failed");
    const std::string first = read_bytes(f.first);
    check_written(conf.get(), first);
    if (comment_lines(first) != comment_lines(std::string(reinterpret_cast<const char *>(data), size)))
        fuzz_fail("the comment lines written are not the input's");

    int reread_errline = -2;
    conf_ptr reread(conf_read_file(f.first.c_str(), &reread_errline));
    if (reread == nullptr)
        fuzz_fail("the written file could not be read back");
    if (reread_errline != -1)
        fuzz_fail("the written file reads back with a malformed line", std::to_string(reread_errline));
    if (!conf_write_file(reread.get(), f.second.c_str()))
        fuzz_fail("the second write failed");
    if (read_bytes(f.second) != first)
        fuzz_fail("writing what was read back changed the file");

    const std::string listing = folder_listing(f.dir.path());
    if (listing != f.expected_listing)
        fuzz_fail("writes left other files behind", listing);
    return 0;
}
