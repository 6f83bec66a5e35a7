#pragma once

// The settings store: integer preferences kept in memory for the life of the
// module and mirrored in popups.cfg, which is read and written when the store
// is opened (at every enable) and closed (at every disable).

#include <string>
#include <vector>

#include <acfutils/conf.h>

class pref_store;

// One persistent setting. `save` puts it into the open configuration (the
// store then writes the file once), `load` takes it from there; both do
// nothing while the store is closed.
class prf {
public:
    virtual ~prf() = default;
    virtual void save() = 0;
    virtual void load() = 0;

    bool is_loaded() const { return loaded; }
    bool is_changed() const { return changed; }
    // The store calls this once the saved value is on disk.
    void mark_written() { changed = false; }

protected:
    bool loaded = false;
    bool changed = false;
};

class pref_int : public prf {
public:
    pref_int(pref_store *store, const char *name, int default_value);

    int get() const { return value; }
    void set(int v);

    void save() override;
    void load() override;

    const char *key() const { return name; }

private:
    const char *name;
    pref_store *store;
    int value;
    int last_set;
    int default_value;
    // The first set has nothing to compare with: it always counts as a change,
    // so every value a caller sets reaches the file.
    bool set_before = false;
};

class pref_store {
public:
    pref_store() = default;
    ~pref_store();
    pref_store(const pref_store &) = delete;
    pref_store &operator=(const pref_store &) = delete;

    // Reads (or creates) popups.cfg in `folder`, loads every preference not yet
    // loaded, writes back the ones changed in memory, and keeps the contents.
    void open(const char *folder);
    // Writes the changed preferences, then releases the contents.
    void close();
    // Loads the preferences not loaded yet and saves the changed ones.
    void sync();

    void register_int(prf *p) { int_prefs.push_back(p); }
    const std::vector<prf *> &ints() const { return int_prefs; }

    conf_t *contents() const { return conf; }
    const std::string &file_path() const { return path; }
    // Writes the whole configuration; false (logged) when it could not.
    bool write();

private:
    void keep_original(int first_bad_line);

    std::vector<prf *> int_prefs;
    // Further kinds of preference are walked after the integers; none exist yet.
    std::vector<prf *> other_prefs[2];
    conf_t *conf = nullptr;
    std::string path;
    const char *file_name = "popups.cfg";
};

// The seven settings of one display window.
struct popup_keys {
    pref_int *x;
    pref_int *y;
    pref_int *w;
    pref_int *h;
    pref_int *fill_window;
    pref_int *popup_at_start;
    pref_int *monitor_start;
};

// The module's store and the three displays' keys, registered at load in the
// order PFD, MFD, PFD2.
extern pref_store settings;
extern popup_keys pfd_keys;
extern popup_keys mfd_keys;
extern popup_keys pfd2_keys;

void pref_store_open(const char *folder);
void pref_store_close();
