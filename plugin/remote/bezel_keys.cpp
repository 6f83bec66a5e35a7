#include "remote/bezel_keys.h"

#include <cstring>

namespace remote {

const bezel_key bezel_keys[] = {
    {"softkey1", "", "softkeys"},
    {"softkey2", "", "softkeys"},
    {"softkey3", "", "softkeys"},
    {"softkey4", "", "softkeys"},
    {"softkey5", "", "softkeys"},
    {"softkey6", "", "softkeys"},
    {"softkey7", "", "softkeys"},
    {"softkey8", "", "softkeys"},
    {"softkey9", "", "softkeys"},
    {"softkey10", "", "softkeys"},
    {"softkey11", "", "softkeys"},
    {"softkey12", "", "softkeys"},
    {"nav_outer_down", "\xe2\x9f\xb2", "NAV"},
    {"nav_outer_up", "\xe2\x9f\xb3", "NAV"},
    {"nav_inner_down", "\xe2\x86\xba", "NAV"},
    {"nav_inner_up", "\xe2\x86\xbb", "NAV"},
    {"nav12", "push", "NAV"},
    {"com_outer_down", "\xe2\x9f\xb2", "COM"},
    {"com_outer_up", "\xe2\x9f\xb3", "COM"},
    {"com_inner_down", "\xe2\x86\xba", "COM"},
    {"com_inner_up", "\xe2\x86\xbb", "COM"},
    {"com12", "push", "COM"},
    {"hdg_down", "\xe2\x86\xba", "HDG"},
    {"hdg_up", "\xe2\x86\xbb", "HDG"},
    {"hdg_sync", "push", "HDG"},
    {"alt_outer_down", "\xe2\x9f\xb2", "ALT"},
    {"alt_outer_up", "\xe2\x9f\xb3", "ALT"},
    {"alt_inner_down", "\xe2\x86\xba", "ALT"},
    {"alt_inner_up", "\xe2\x86\xbb", "ALT"},
    {"baro_down", "\xe2\x9f\xb2", "CRS/BARO"},
    {"baro_up", "\xe2\x9f\xb3", "CRS/BARO"},
    {"crs_down", "\xe2\x86\xba", "CRS/BARO"},
    {"crs_up", "\xe2\x86\xbb", "CRS/BARO"},
    {"crs_sync", "push", "CRS/BARO"},
    {"range_down", "\xe2\x86\xba", "RANGE"},
    {"range_up", "\xe2\x86\xbb", "RANGE"},
    {"pan_push", "push", "RANGE"},
    {"fms_outer_down", "\xe2\x9f\xb2", "FMS"},
    {"fms_outer_up", "\xe2\x9f\xb3", "FMS"},
    {"fms_inner_down", "\xe2\x86\xba", "FMS"},
    {"fms_inner_up", "\xe2\x86\xbb", "FMS"},
    {"cursor", "push", "FMS"},
    {"direct", "DIRECT", "keys"},
    {"menu", "MENU", "keys"},
    {"fpl", "FPL", "keys"},
    {"proc", "PROC", "keys"},
    {"clr", "CLR", "keys"},
    {"ent", "ENT", "keys"},
};
const std::size_t bezel_key_count = sizeof(bezel_keys) / sizeof(bezel_keys[0]);

int find_bezel_key(const char *name, std::size_t length)
{
    for (std::size_t i = 0; i < bezel_key_count; ++i) {
        if (std::strlen(bezel_keys[i].name) == length && std::memcmp(bezel_keys[i].name, name, length) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

const char *display_name(display_id d)
{
    switch (d) {
    case display_id::mfd:
        return "mfd";
    case display_id::pfd2:
        return "pfd2";
    default:
        return "pfd";
    }
}

std::string bezel_command(display_id d, int key)
{
    const char *unit = d == display_id::mfd ? "n3" : d == display_id::pfd2 ? "n2" : "n1";
    return std::string("sim/GPS/g1000") + unit + "_" + bezel_keys[key].name;
}

} // namespace remote
