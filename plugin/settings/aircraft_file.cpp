#include "settings/aircraft_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include <acfutils/conf.h>
#include <acfutils/log.h>

namespace {

using conf_ptr = std::unique_ptr<conf_t, void (*)(conf_t *)>;

std::string key_of(int display, const char *name)
{
    return std::string(display_key_prefix(display)) + name;
}

void read_int(const conf_t *conf, const std::string &key, int &out)
{
    int v = 0;
    if (conf_get_i(conf, key.c_str(), &v))
        out = v;
}

void read_place(const conf_t *conf, int display, const aircraft_file &file, display_place &place)
{
    const char *text = nullptr;
    if (conf_get_str(conf, key_of(display, "source").c_str(), &text) &&
        !picture_source_from_name(text, place.source))
        logMsg("%s: \"%s\" holds \"%.40s\", not auto, panel or device: auto is used", file.shown.c_str(),
               key_of(display, "source").c_str(), text);
    read_int(conf, key_of(display, "panel_x"), place.rect.x);
    read_int(conf, key_of(display, "panel_y"), place.rect.y);
    read_int(conf, key_of(display, "panel_w"), place.rect.w);
    read_int(conf, key_of(display, "panel_h"), place.rect.h);
}

bool reserved_on_windows(const std::string &name)
{
    std::string stem = name.substr(0, name.find('.'));
    for (char &c : stem)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

} // namespace

std::optional<aircraft_file> aircraft_file_read(const std::string &path, const std::string &shown)
{
    errno = 0;
    conf_ptr conf(conf_read_file(path.c_str(), nullptr), conf_free);
    if (conf == nullptr) {
        if (errno != ENOENT && errno != ENOTDIR)
            logMsg("Cannot read %s: %s", shown.c_str(), strerror(errno));
        return std::nullopt;
    }
    aircraft_file file;
    file.path = path;
    file.shown = shown;
    file.places = places_built_in();
    int w = 0, h = 0;
    const bool has_w = conf_get_i(conf.get(), "panel_width", &w);
    const bool has_h = conf_get_i(conf.get(), "panel_height", &h);
    if (has_w || has_h)
        file.made_for = panel_size{has_w ? w : 0, has_h ? h : 0};
    for (int i = 0; i < display_count; i++)
        read_place(conf.get(), i, file, file.places[i]);
    return file;
}

bool aircraft_file_write(const std::string &path, const display_places &places, panel_size panel,
                         std::string &error)
{
    const std::filesystem::path file = std::filesystem::u8path(path);
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        error = "cannot make the folder " + file.parent_path().u8string() + ": " + ec.message();
        return false;
    }
    conf_ptr conf(conf_read_file(path.c_str(), nullptr), conf_free);
    if (conf == nullptr) {
        conf.reset(conf_create_empty());
        conf_add_comment(conf.get(), "kyv_pop: where this aircraft's panel draws each G1000 display.");
        conf_add_comment(conf.get(), "Panel pixels, origin at the panel's bottom-left corner.");
    }
    conf_set_i(conf.get(), "panel_width", panel.width);
    conf_set_i(conf.get(), "panel_height", panel.height);
    for (int i = 0; i < display_count; i++) {
        const display_place &p = places[i];
        conf_set_str(conf.get(), key_of(i, "source").c_str(), picture_source_name(p.source));
        conf_set_i(conf.get(), key_of(i, "panel_x").c_str(), p.rect.x);
        conf_set_i(conf.get(), key_of(i, "panel_y").c_str(), p.rect.y);
        conf_set_i(conf.get(), key_of(i, "panel_w").c_str(), p.rect.w);
        conf_set_i(conf.get(), key_of(i, "panel_h").c_str(), p.rect.h);
    }
    errno = 0;
    if (!conf_write_file(conf.get(), path.c_str())) {
        error = "cannot write " + path + ": " + (errno != 0 ? strerror(errno) : "unknown error");
        return false;
    }
    return true;
}

std::string aircraft_file_safe_name(const std::string &acf_file)
{
    std::string name = acf_file;
    for (char &c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f || std::strchr("<>:\"/\\|?*", c) != nullptr)
            c = '_';
    }
    if (name.empty() || reserved_on_windows(name))
        name.insert(0, "_");
    return name;
}
