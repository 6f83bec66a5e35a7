#pragma once

// A file of display places for one aircraft: the same "key = value" format
// as popups.cfg. Per display, with its prefix (pfd_nbzl_ ...): `source`
// (auto, panel or device) and `panel_x`, `panel_y`, `panel_w`, `panel_h`;
// once per file, `panel_width` and `panel_height`, the size of the panel the
// file was made on. A file without them fits any panel.

#include <optional>
#include <string>

#include "pictures/display_places.h"

struct aircraft_file {
    std::string path;  // as read or to be written
    std::string shown; // the name the log gives it
    std::optional<panel_size> made_for;
    // Keys the file lacks, or cannot be read, take their built-in values.
    display_places places;
};

// The file at `path`; nullopt when there is none or it cannot be read (the
// latter logged). Malformed lines are skipped, each logged with its number.
std::optional<aircraft_file> aircraft_file_read(const std::string &path, const std::string &shown);

// Writes the places and the panel's size to `path` through a temporary file,
// keeping the comments and unknown keys of a file already there. False, with
// `error` set, when the file or its folder cannot be written.
bool aircraft_file_write(const std::string &path, const display_places &places, panel_size panel,
                         std::string &error);

// A file name made from the .acf's: every character a file name cannot hold
// on Windows or Linux becomes '_', and names Windows reserves get a leading
// '_'. Letters outside ASCII stay as they are (UTF-8).
std::string aircraft_file_safe_name(const std::string &acf_file);
