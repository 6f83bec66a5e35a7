#include "temp_dir.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

temp_dir::temp_dir()
{
    // Creating a folder fails when the name exists, so a taken name costs a retry, never a shared folder.
    std::random_device rd;
    std::mt19937_64 gen((static_cast<uint64_t>(rd()) << 32) ^
                        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const fs::path parent = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; attempt++) {
        std::ostringstream name;
        name << "kyv_test_" << std::hex << gen();
        const fs::path p = parent / name.str();
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            path_ = p.u8string();
            return;
        }
        if (ec)
            throw std::runtime_error("cannot create a folder in " + parent.u8string() + ": " + ec.message());
    }
    throw std::runtime_error("no free temporary folder name in " + parent.u8string());
}

temp_dir::~temp_dir()
{
    std::error_code ec;
    fs::permissions(fs::u8path(path_), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(fs::u8path(path_), ec);
}

std::string native_path(std::string path)
{
#ifdef _WIN32
    for (char &c : path)
        if (c == '/')
            c = '\\';
#endif
    return path;
}

std::string read_file(const std::string &path)
{
    std::ifstream in(fs::u8path(path), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void write_file(const std::string &path, const std::string &contents)
{
    std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
    out << contents;
}
