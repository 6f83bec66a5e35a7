#pragma once

// What the file-based fuzz targets share: a scratch folder that lives as long
// as the process, and whole-file reads and writes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class scratch_dir {
public:
    explicit scratch_dir(const char *name_prefix);
    ~scratch_dir();
    scratch_dir(const scratch_dir &) = delete;
    scratch_dir &operator=(const scratch_dir &) = delete;

    const std::string &path() const { return path_; }
    std::string operator/(const std::string &rel) const { return path_ + "/" + rel; }

private:
    std::string path_;
};

// Replaces the file's contents; aborts when it cannot, as every later check
// would be meaningless.
void write_bytes(const std::string &path, const uint8_t *data, size_t size);
// The whole file, or an empty string when it cannot be read.
std::string read_bytes(const std::string &path);
// The entries of a settings file as conf_write_file lays it out, one
// "key = value" line each, in file order, between the comment and blank lines
// it keeps; a line of any other shape, or mixed line endings, break the
// property that the writer's output is canonical.
std::vector<std::pair<std::string, std::string>> written_entries(const std::string &text);
// The comment lines a reader keeps, as it keeps them (trailing blanks dropped).
std::vector<std::string> comment_lines(const std::string &text);
// The names in a folder, sorted, separated by spaces.
std::string folder_listing(const std::string &path);

// Stops the fuzzer with a message naming the property that broke.
[[noreturn]] void fuzz_fail(const char *what, const std::string &detail = std::string());
