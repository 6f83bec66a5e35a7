// The settings store opened on arbitrary file contents, with the plugin's 21
// settings on a store of their own per input (the module's store keeps its
// loaded flags for ever). What it loads, writes back and keeps of foreign
// entries is checked against the settings-file reader itself.

#include <fuzzer/FuzzedDataProvider.h>

#include <acfutils/conf.h>

#include <array>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "settings/config.h"
#include "fuzz_support.h"
#include "quiet_log.h"

namespace {

struct key_default {
    const char *key;
    int value;
};

constexpr size_t key_count = 21;

const std::array<key_default, key_count> plugin_keys = {{
    {"pfd_nbzl_x", 0},
    {"pfd_nbzl_y", 0},
    {"pfd_nbzl_w", 1024},
    {"pfd_nbzl_h", 768},
    {"pfd_nbzl_fill_window", 1},
    {"pfd_nbzl_popup_at_start", 0},
    {"pfd_nbzl_monitor_start", -1},
    {"mfd_nbzl_x", 0},
    {"mfd_nbzl_y", 0},
    {"mfd_nbzl_w", 1024},
    {"mfd_nbzl_h", 768},
    {"mfd_nbzl_fill_window", 1},
    {"mfd_nbzl_popup_at_start", 0},
    {"mfd_nbzl_monitor_start", -1},
    {"pfd_2_nbzl_x", 0},
    {"pfd_2_nbzl_y", 0},
    {"pfd_2_nbzl_w", 1024},
    {"pfd_2_nbzl_h", 768},
    {"pfd_2_nbzl_fill_window", 1},
    {"pfd_2_nbzl_popup_at_start", 0},
    {"pfd_2_nbzl_monitor_start", -1},
}};

using values = std::array<int, key_count>;
using entries = std::vector<std::pair<std::string, std::string>>;

struct conf_deleter {
    void operator()(conf_t *c) const { conf_free(c); }
};
using conf_ptr = std::unique_ptr<conf_t, conf_deleter>;

// A store and the plugin's settings registered on it, in the plugin's order.
// The settings point at the store, so they are declared after it and go first.
struct plugin_settings {
    pref_store store;
    std::vector<std::unique_ptr<pref_int>> prefs;

    plugin_settings()
    {
        for (const key_default &k : plugin_keys)
            prefs.push_back(std::make_unique<pref_int>(&store, k.key, k.value));
    }
    plugin_settings(const plugin_settings &) = delete;
    plugin_settings &operator=(const plugin_settings &) = delete;
};

struct scratch_files {
    scratch_dir dir{"kyv_pref_fuzz"};
    std::string folder = dir / "settings";
    std::string file = folder + "/popups.cfg";
    std::string backup = folder + "/popups.cfg.bak";
    std::string canonical = dir / "original.cfg";

    scratch_files() { std::filesystem::create_directory(folder); }
};

scratch_files &scratch()
{
    static scratch_files files;
    return files;
}

bool is_plugin_key(const std::string &k)
{
    for (const key_default &p : plugin_keys) {
        if (k == p.key)
            return true;
    }
    return false;
}

std::string describe(size_t i, int got, int want)
{
    return std::string(plugin_keys[i].key) + ": " + std::to_string(got) + ", expected " +
           std::to_string(want);
}

// The file as the reader sees it: every plugin key holds `want`, nothing is
// malformed, and its entries come back in order.
entries check_file(const scratch_files &f, const values &want, const std::string &listing, const char *when)
{
    int errline = -2;
    conf_ptr conf(conf_read_file(f.file.c_str(), &errline));
    if (conf == nullptr)
        fuzz_fail("the settings file cannot be read", when);
    if (errline != -1)
        fuzz_fail("the store wrote a malformed line",
                  std::string(when) + ", line " + std::to_string(errline));
    for (size_t i = 0; i < key_count; i++) {
        int v = 0;
        if (!conf_get_i(conf.get(), plugin_keys[i].key, &v))
            fuzz_fail("a setting is missing from the file", std::string(when) + ", " + plugin_keys[i].key);
        if (v != want[i])
            fuzz_fail("the file holds another value", std::string(when) + ", " + describe(i, v, want[i]));
    }
    if (folder_listing(f.folder) != listing)
        fuzz_fail("the settings folder holds other files than expected",
                  std::string(when) + ": " + folder_listing(f.folder) + ", expected " + listing);
    return written_entries(read_bytes(f.file));
}

void check_prefs(const plugin_settings &s, const values &want, const char *when)
{
    for (size_t i = 0; i < key_count; i++) {
        if (s.prefs[i]->get() != want[i])
            fuzz_fail("a setting holds another value",
                      std::string(when) + ", " + describe(i, s.prefs[i]->get(), want[i]));
    }
}

// Entries nobody registered keep their values and their order, and the file
// holds nothing else but the plugin's keys.
void check_foreign_kept(const entries &original, const entries &now)
{
    entries kept;
    for (const auto &e : now) {
        if (!is_plugin_key(e.first))
            kept.push_back(e);
    }
    entries foreign;
    for (const auto &e : original) {
        if (!is_plugin_key(e.first))
            foreign.push_back(e);
    }
    if (kept != foreign)
        fuzz_fail("foreign entries were not kept as they were",
                  std::to_string(foreign.size()) + " in the input, " + std::to_string(kept.size()) + " now");
    if (now.size() != foreign.size() + key_count)
        fuzz_fail("the file holds duplicate or extra entries", std::to_string(now.size()) + " entries");
}

int value_to_set(FuzzedDataProvider &from, size_t i, int loaded)
{
    switch (from.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return plugin_keys[i].value;
    case 1:
        return loaded;
    case 2:
        return from.PickValueInArray({INT_MIN, -1, 0, INT_MAX});
    default:
        return from.ConsumeIntegral<int>();
    }
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
    std::filesystem::remove(f.backup);
    write_bytes(f.file, data, size);

    // What the store must load, read from the bytes by the reader alone.
    values loaded{};
    entries original;
    int bad_line = -1;
    {
        conf_ptr conf(conf_read_file(f.file.c_str(), &bad_line));
        if (conf == nullptr)
            fuzz_fail("a readable file was refused");
        for (size_t i = 0; i < key_count; i++) {
            if (!conf_get_i(conf.get(), plugin_keys[i].key, &loaded[i]))
                loaded[i] = plugin_keys[i].value;
        }
        if (!conf_write_file(conf.get(), f.canonical.c_str()))
            fuzz_fail("the input's entries could not be written out");
        original = written_entries(read_bytes(f.canonical));
    }

    // A file with lines the store drops on its rewrite is first kept as it was.
    const std::string listing = bad_line >= 0 ? "popups.cfg popups.cfg.bak" : "popups.cfg";
    // The user's comments survive every rewrite, in their order.
    const std::vector<std::string> comments =
        comment_lines(std::string(reinterpret_cast<const char *>(data), size));
    auto check_comments = [&comments, &f](const char *when) {
        if (comment_lines(read_bytes(f.file)) != comments)
            fuzz_fail("the store's rewrite lost or changed a comment line", when);
    };
    values saved = loaded;
    {
        plugin_settings first;
        first.store.open(f.folder.c_str());
        check_prefs(first, loaded, "after the first open");
        check_foreign_kept(original, check_file(f, loaded, listing, "after the first open"));
        check_comments("after the first open");
        if (bad_line >= 0 && read_bytes(f.backup) != std::string(reinterpret_cast<const char *>(data), size))
            fuzz_fail("the copy kept of a file with a malformed line differs from it");

        // Values from the end of the input; a setting may be set twice, and
        // the last value must win even when it is the default or what it held.
        FuzzedDataProvider from(data, size);
        for (size_t i = 0; i < key_count && from.remaining_bytes() > 0; i++) {
            const int sets = from.ConsumeIntegralInRange(0, 2);
            for (int n = 0; n < sets; n++) {
                saved[i] = value_to_set(from, i, loaded[i]);
                first.prefs[i]->set(saved[i]);
            }
        }
        first.store.close();
    }
    const entries after_close = check_file(f, saved, listing, "after the close");
    check_foreign_kept(original, after_close);
    check_comments("after the close");

    // A fresh store finds what the first one set, and rewrites nothing.
    const std::string before = read_bytes(f.file);
    plugin_settings second;
    second.store.open(f.folder.c_str());
    check_prefs(second, saved, "in a second store");
    second.store.close();
    if (read_bytes(f.file) != before)
        fuzz_fail("opening and closing without a change rewrote the file differently");
    if (folder_listing(f.folder) != listing)
        fuzz_fail("a store that changed nothing left files behind", folder_listing(f.folder));
    return 0;
}
