#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes out of scope. Paths are UTF-8.
class temp_dir {
public:
    temp_dir();
    ~temp_dir();
    temp_dir(const temp_dir &) = delete;
    temp_dir &operator=(const temp_dir &) = delete;

    const std::string &path() const { return path_; }
    std::string operator/(const std::string &rel) const { return path_ + "/" + rel; }

private:
    std::string path_;
};

// The path as the platform writes it, as a plugin reports it in its log: on
// Windows every '/' becomes '\\'.
std::string native_path(std::string path);

std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &contents);
