#include "fuzz_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include <signal.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Every settings write is fsync'ed, which caps a disk-backed folder at a few
// hundred writes a second: memory is preferred unless TMPDIR says otherwise.
fs::path scratch_parent()
{
    std::error_code ec;
    const char *tmpdir = getenv("TMPDIR");
    if ((tmpdir == nullptr || tmpdir[0] == '\0') && fs::is_directory("/dev/shm", ec) &&
        access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return fs::temp_directory_path();
}

// A crash ends the process without destructors, and crashes are what a fuzzer
// is for: folders left by processes that are gone are removed at the next start.
void remove_abandoned(const fs::path &parent, const std::string &name_prefix)
{
    std::error_code ec;
    for (const fs::directory_entry &e : fs::directory_iterator(parent, ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind(name_prefix, 0) != 0)
            continue;
        const long pid = strtol(name.c_str() + name_prefix.size(), nullptr, 10);
        if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            fs::remove_all(e.path(), ec);
    }
}

} // namespace

scratch_dir::scratch_dir(const char *name_prefix)
{
    const fs::path parent = scratch_parent();
    const std::string prefix = std::string(name_prefix) + "_";
    remove_abandoned(parent, prefix);
    std::string tmpl = (parent / (prefix + std::to_string(getpid()) + "_XXXXXX")).string();
    if (mkdtemp(tmpl.data()) == nullptr)
        fuzz_fail("cannot make a scratch folder", tmpl);
    path_ = tmpl;
}

scratch_dir::~scratch_dir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void write_bytes(const std::string &path, const uint8_t *data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out)
        fuzz_fail("cannot write the input file", path);
}

std::string read_bytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

// Every line of the text, without its line ending.
std::vector<std::string> file_lines(const std::string &text)
{
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t nl = text.find('\n', at);
        if (nl == std::string::npos)
            nl = text.size();
        std::string line = text.substr(at, nl - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(std::move(line));
        at = nl + 1;
    }
    return out;
}

} // namespace

std::vector<std::string> comment_lines(const std::string &text)
{
    std::vector<std::string> out;
    for (std::string line : file_lines(text)) {
        if (line.size() > 4096)
            continue;
        bool control = false;
        for (unsigned char c : line)
            control = control || (c < 0x20 && c != '\t') || c == 0x7f;
        const size_t b = line.find_first_not_of(" \t");
        if (control || b == std::string::npos || line[b] != '#')
            continue;
        out.push_back(line.substr(0, line.find_last_not_of(" \t") + 1));
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> written_entries(const std::string &text)
{
    std::vector<std::pair<std::string, std::string>> out;
    if (!text.empty() && text.back() != '\n')
        fuzz_fail("a written file ends without a newline");
    // One line ending throughout: the one the file was read with.
    const bool crlf = text.find("\r\n") != std::string::npos;
    for (size_t at = 0; at < text.size();) {
        const size_t nl = text.find('\n', at);
        if (crlf != (nl > at && text[nl - 1] == '\r'))
            fuzz_fail("a written file mixes line endings", text.substr(at, nl - at));
        const std::string line = text.substr(at, nl - at - (crlf ? 1 : 0));
        at = nl + 1;
        const size_t first = line.find_first_not_of(" \t");
        if (line.empty())
            continue;
        if (first == std::string::npos)
            fuzz_fail("a blank line was written with blanks on it");
        if (line[first] == '#')
            continue; // a comment, kept as the user wrote it
        // Keys hold no blanks, so the first " = " is the separator.
        const size_t sep = line.find(" = ");
        if (sep == std::string::npos || sep == 0 || sep + 3 == line.size())
            fuzz_fail("a written line is not \"key = value\"", line);
        out.emplace_back(line.substr(0, sep), line.substr(sep + 3));
    }
    return out;
}

std::string folder_listing(const std::string &path)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry &e : fs::directory_iterator(path, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string &n : names)
        out += (out.empty() ? "" : " ") + n;
    return out;
}

void fuzz_fail(const char *what, const std::string &detail)
{
    // Details can hold whole lines of the input: enough of them to recognise.
    fprintf(stderr, "\n*** fuzz property broken: %s%s%.600s\n", what, detail.empty() ? "" : ": ",
            detail.c_str());
    fflush(stderr);
    abort();
}
