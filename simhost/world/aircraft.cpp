#include "world/aircraft.h"

namespace simhost {

namespace {

const char *const face_names[] = {"PFD", "MFD", "PFD2"};

std::string size_text(int w, int h)
{
    return std::to_string(w) + " x " + std::to_string(h);
}

} // namespace

const char *face_name(size_t index)
{
    return index < 3 ? face_names[index] : "?";
}

std::string model_problem(const aircraft_model &m)
{
    if (m.file.empty())
        return "the aircraft has no .acf file name";
    if (m.file.size() >= acf_file_size)
        return "the .acf file name of " + std::to_string(m.file.size()) + " bytes is not under " +
               std::to_string(acf_file_size);
    if (m.path.size() >= acf_path_size)
        return "the .acf path of " + std::to_string(m.path.size()) + " bytes is not under " +
               std::to_string(acf_path_size);
    if (m.panel_width < min_panel_side || m.panel_height < min_panel_side || m.panel_width > max_panel_side ||
        m.panel_height > max_panel_side)
        return "the panel of " + size_text(m.panel_width, m.panel_height) + " is not within " +
               std::to_string(min_panel_side) + " to " + std::to_string(max_panel_side) + " pixels a side";
    for (size_t i = 0; i < m.faces.size(); i++) {
        const panel_face &f = m.faces[i];
        // In 64-bit arithmetic, so that a face far out of range cannot wrap into the panel.
        const bool inside = f.x >= 0 && f.y >= 0 && static_cast<long long>(f.x) + f.w <= m.panel_width &&
                            static_cast<long long>(f.y) + f.h <= m.panel_height;
        if (f.w < 1 || f.h < 1 || !inside)
            return std::string("the ") + face_names[i] + " at " + std::to_string(f.x) + "," +
                   std::to_string(f.y) + " of " + size_text(f.w, f.h) +
                   " is not a rectangle inside the panel of " + size_text(m.panel_width, m.panel_height);
    }
    return {};
}

std::string acf_path(const aircraft_model &m, sim_version v)
{
    if (!m.path.empty())
        return m.path;
#ifdef _WIN32
    const std::string root = v == sim_version::xp11 ? "C:\\X-Plane 11" : "C:\\X-Plane 12";
    const char sep = '\\';
#else
    const std::string root = v == sim_version::xp11 ? "/X-Plane 11" : "/X-Plane 12";
    const char sep = '/';
#endif
    const std::string suffix = ".acf";
    const bool has_suffix = m.file.size() > suffix.size() &&
                            m.file.compare(m.file.size() - suffix.size(), suffix.size(), suffix) == 0;
    const std::string folder = has_suffix ? m.file.substr(0, m.file.size() - suffix.size()) : m.file;
    const std::string aircraft = root + sep + "Aircraft" + sep;
    const std::string path = aircraft + folder + sep + m.file;
    // A file name near its limit leaves no room for a folder of its name.
    return path.size() < acf_path_size ? path : aircraft + m.file;
}

} // namespace simhost
