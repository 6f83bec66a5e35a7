#include "settings/config.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <acfutils/helpers.h>
#include <acfutils/log.h>

pref_int::pref_int(pref_store *store_, const char *name_, int default_value_)
    : name(name_), store(store_), value(default_value_), last_set(default_value_),
      default_value(default_value_)
{
    if (store != nullptr)
        store->register_int(this);
}

void pref_int::set(int v)
{
    value = v;
    if (!set_before || v != last_set) {
        changed = true;
        last_set = v;
        set_before = true;
    }
}

void pref_int::load()
{
    if (store == nullptr || store->contents() == nullptr)
        return;
    int v;
    if (conf_get_i(store->contents(), name, &v)) {
        value = v;
    } else {
        conf_set_i(store->contents(), name, default_value);
        logMsg("Error Getting Data - added: %s", name);
    }
    loaded = true;
}

void pref_int::save()
{
    if (store == nullptr || store->contents() == nullptr)
        return;
    conf_set_i(store->contents(), name, value);
}

pref_store::~pref_store()
{
    conf_free(conf);
}

namespace {

// Without its folder no setting could ever be saved, so make it.
void ensure_folder(const char *folder)
{
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::u8path(folder);
    if (std::filesystem::is_directory(dir, ec))
        return;
    if (std::filesystem::create_directory(dir, ec))
        logMsg("Created settings folder %s", folder);
    else
        logMsg("Cannot create settings folder %s: %s", folder, ec.message().c_str());
}

// A new file says what it is; the user's own comments are kept below it.
void add_header(conf_t *conf)
{
    conf_add_comment(conf, "kyv_pop: where each G1000 display window opens (see the plugin's README).");
    conf_add_comment(conf,
                     "Close the simulator before editing: it rewrites this file at every start and stop.");
    conf_add_comment(conf, "Lines starting with # are comments and are kept.");
}

} // namespace

void pref_store::open(const char *folder)
{
    if (conf != nullptr) {
        conf_free(conf);
        conf = nullptr;
    }
    if (folder == nullptr || folder[0] == '\0') {
        logMsg("No settings folder known: %s stays closed; settings live in memory only", file_name);
        return;
    }
    char *joined = mkpathname(folder, file_name, nullptr);
    path = joined;
    lacf_free(joined);
    logMsg("Created Configuration: %s with path %s", file_name, path.c_str());
    ensure_folder(folder);

    int bad_line = -1;
    errno = 0;
    conf = conf_read_file(path.c_str(), &bad_line);
    if (conf == nullptr) {
        if (errno != ENOENT)
            logMsg("Cannot read %s: %s", path.c_str(), strerror(errno));
        logMsg("Error Reading Config File. Creating New File");
        conf = conf_create_empty();
        add_header(conf);
    } else if (bad_line >= 0) {
        keep_original(bad_line);
    }
    sync();
    write();
    conf_free(conf);

    // Keep what is really on disk, so later saves never drop entries.
    conf = conf_read_file(path.c_str(), nullptr);
    if (conf == nullptr)
        logMsg("Unable to Initialize Failures");
    sync();
}

// The rewrite below drops the lines that could not be read; whatever the user
// meant by them stays in a copy beside the file.
void pref_store::keep_original(int first_bad_line)
{
    const std::string copy = path + ".bak";
    std::error_code ec;
    std::filesystem::copy_file(std::filesystem::u8path(path), std::filesystem::u8path(copy),
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        logMsg("%s: line %d and maybe others could not be read, and no copy could be kept as %s: %s",
               file_name, first_bad_line, copy.c_str(), ec.message().c_str());
    } else {
        logMsg("%s: line %d and maybe others could not be read; the file as it was is kept as %s", file_name,
               first_bad_line, copy.c_str());
    }
}

void pref_store::sync()
{
    std::vector<prf *> saved;
    auto walk = [&saved](const std::vector<prf *> &list) {
        for (prf *p : list) {
            if (!p->is_loaded()) {
                p->load();
            } else if (p->is_changed()) {
                p->save();
                saved.push_back(p);
            }
        }
    };
    walk(int_prefs);
    for (const auto &list : other_prefs)
        walk(list);
    // One write for all saved values; those that did not reach the file stay
    // marked, so a later open or close retries them.
    if (!saved.empty() && conf != nullptr && write()) {
        for (prf *p : saved)
            p->mark_written();
    }
}

void pref_store::close()
{
    logMsg("Destroying %s", file_name);
    // Quitting the simulator disables without another enable: write what
    // changed now, or saved window placements would be lost.
    if (conf != nullptr)
        sync();
    conf_free(conf);
    conf = nullptr;
}

bool pref_store::write()
{
    if (conf == nullptr || path.empty())
        return false;
    return conf_write_file(conf, path.c_str());
}

pref_store settings;

namespace {

// Defined in registration order, which is the order keys are first added to a new file.
pref_int pfd_x(&settings, "pfd_nbzl_x", 0);
pref_int pfd_y(&settings, "pfd_nbzl_y", 0);
pref_int pfd_w(&settings, "pfd_nbzl_w", 1024);
pref_int pfd_h(&settings, "pfd_nbzl_h", 768);
pref_int pfd_fill_window(&settings, "pfd_nbzl_fill_window", 1);
pref_int pfd_popup_at_start(&settings, "pfd_nbzl_popup_at_start", 0);
pref_int pfd_monitor_start(&settings, "pfd_nbzl_monitor_start", -1);

pref_int mfd_x(&settings, "mfd_nbzl_x", 0);
pref_int mfd_y(&settings, "mfd_nbzl_y", 0);
pref_int mfd_w(&settings, "mfd_nbzl_w", 1024);
pref_int mfd_h(&settings, "mfd_nbzl_h", 768);
pref_int mfd_fill_window(&settings, "mfd_nbzl_fill_window", 1);
pref_int mfd_popup_at_start(&settings, "mfd_nbzl_popup_at_start", 0);
pref_int mfd_monitor_start(&settings, "mfd_nbzl_monitor_start", -1);

pref_int pfd2_x(&settings, "pfd_2_nbzl_x", 0);
pref_int pfd2_y(&settings, "pfd_2_nbzl_y", 0);
pref_int pfd2_w(&settings, "pfd_2_nbzl_w", 1024);
pref_int pfd2_h(&settings, "pfd_2_nbzl_h", 768);
pref_int pfd2_fill_window(&settings, "pfd_2_nbzl_fill_window", 1);
pref_int pfd2_popup_at_start(&settings, "pfd_2_nbzl_popup_at_start", 0);
pref_int pfd2_monitor_start(&settings, "pfd_2_nbzl_monitor_start", -1);

} // namespace

popup_keys pfd_keys = {
    &pfd_x, &pfd_y, &pfd_w, &pfd_h, &pfd_fill_window, &pfd_popup_at_start, &pfd_monitor_start};
popup_keys mfd_keys = {
    &mfd_x, &mfd_y, &mfd_w, &mfd_h, &mfd_fill_window, &mfd_popup_at_start, &mfd_monitor_start};
popup_keys pfd2_keys = {
    &pfd2_x, &pfd2_y, &pfd2_w, &pfd2_h, &pfd2_fill_window, &pfd2_popup_at_start, &pfd2_monitor_start};

void pref_store_open(const char *folder)
{
    settings.open(folder);
}

void pref_store_close()
{
    settings.close();
}
