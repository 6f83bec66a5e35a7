#include "platform/pe_imports.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace simhost::detail {

namespace {

// Little-endian fields of the file, read only inside it.
class pe_reader {
public:
    explicit pe_reader(const std::string &bytes) : b_(bytes) {}

    bool u16(size_t at, uint32_t &v) const { return le(at, 2, v); }
    bool u32(size_t at, uint32_t &v) const { return le(at, 4, v); }
    bool u64(size_t at, uint64_t &v) const
    {
        uint32_t lo = 0, hi = 0;
        if (!le(at, 4, lo) || !le(at + 4, 4, hi))
            return false;
        v = (static_cast<uint64_t>(hi) << 32) | lo;
        return true;
    }
    // A NUL-terminated name, at most 512 bytes.
    bool name(size_t at, std::string &out) const
    {
        if (at >= b_.size())
            return false;
        const size_t end = b_.find('\0', at);
        if (end == std::string::npos || end - at > 512)
            return false;
        out = b_.substr(at, end - at);
        return true;
    }

private:
    bool le(size_t at, size_t n, uint32_t &v) const
    {
        if (at > b_.size() || b_.size() - at < n)
            return false;
        v = 0;
        for (size_t i = 0; i < n; i++)
            v |= static_cast<uint32_t>(static_cast<unsigned char>(b_[at + i])) << (8 * i);
        return true;
    }
    const std::string &b_;
};

struct section {
    uint32_t rva, size, file_offset;
};

bool rva_to_offset(const std::vector<section> &sections, uint32_t rva, size_t &offset)
{
    for (const section &s : sections) {
        if (rva >= s.rva && rva - s.rva < s.size) {
            offset = static_cast<size_t>(s.file_offset) + (rva - s.rva);
            return true;
        }
    }
    return false;
}

const uint32_t pe32_plus_magic = 0x20b;
const size_t max_imports = 4096;

} // namespace

std::vector<pe_import> read_pe_imports(const std::string &image)
{
    const pe_reader r(image);
    uint32_t pe = 0, signature = 0, section_count = 0, optional_size = 0, magic = 0;
    if (!r.u32(0x3c, pe) || !r.u32(pe, signature) || signature != 0x00004550)
        return {};
    const size_t coff = static_cast<size_t>(pe) + 4, optional = coff + 20;
    if (!r.u16(coff + 2, section_count) || !r.u16(coff + 16, optional_size) || !r.u16(optional, magic) ||
        magic != pe32_plus_magic)
        return {};
    uint32_t import_rva = 0;
    if (optional_size < 112 + 16 || !r.u32(optional + 112 + 8, import_rva) || import_rva == 0)
        return {};
    std::vector<section> sections;
    for (uint32_t i = 0; i < section_count; i++) {
        const size_t at = optional + optional_size + static_cast<size_t>(i) * 40;
        section s{};
        uint32_t virtual_size = 0, raw_size = 0;
        if (!r.u32(at + 8, virtual_size) || !r.u32(at + 12, s.rva) || !r.u32(at + 16, raw_size) ||
            !r.u32(at + 20, s.file_offset))
            return {};
        s.size = std::min(virtual_size, raw_size);
        sections.push_back(s);
    }
    std::vector<pe_import> imports;
    size_t descriptor = 0;
    if (!rva_to_offset(sections, import_rva, descriptor))
        return {};
    for (;; descriptor += 20) {
        uint32_t lookup = 0, name_rva = 0, bound = 0;
        if (!r.u32(descriptor, lookup) || !r.u32(descriptor + 12, name_rva) || !r.u32(descriptor + 16, bound))
            return {};
        if (name_rva == 0)
            break;
        pe_import imp;
        size_t at = 0;
        if (!rva_to_offset(sections, name_rva, at) || !r.name(at, imp.module))
            return {};
        // The lookup table, or the address table where a linker left none.
        if (!rva_to_offset(sections, lookup != 0 ? lookup : bound, at))
            return {};
        for (;; at += 8) {
            uint64_t thunk = 0;
            if (!r.u64(at, thunk))
                return {};
            if (thunk == 0)
                break;
            if ((thunk >> 63) != 0)
                continue; // by ordinal
            size_t name_at = 0;
            std::string fn;
            if (!rva_to_offset(sections, static_cast<uint32_t>(thunk & 0x7fffffff) + 2, name_at) ||
                !r.name(name_at, fn) || imp.functions.size() >= max_imports)
                return {};
            imp.functions.push_back(fn);
        }
        imports.push_back(std::move(imp));
        if (imports.size() >= max_imports)
            return {};
    }
    return imports;
}

std::string describe_unresolved_imports(const std::wstring &path)
{
    const std::filesystem::path file(path);
    std::ifstream in(file, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string out;
    for (const pe_import &imp : read_pe_imports(image)) {
        HMODULE m = GetModuleHandleA(imp.module.c_str());
        if (m == nullptr) {
            // Not loaded yet: beside the binary or on the loader's search path, or missing.
            const std::wstring name(imp.module.begin(), imp.module.end());
            const std::wstring beside = file.parent_path().wstring();
            if (SearchPathW(beside.c_str(), name.c_str(), nullptr, 0, nullptr, nullptr) == 0 &&
                SearchPathW(nullptr, name.c_str(), nullptr, 0, nullptr, nullptr) == 0)
                out += (out.empty() ? "" : "; ") + imp.module + " is not found";
            continue;
        }
        std::string missing;
        for (const std::string &fn : imp.functions) {
            if (GetProcAddress(m, fn.c_str()) == nullptr)
                missing += (missing.empty() ? "" : ", ") + fn;
        }
        if (!missing.empty())
            out += (out.empty() ? "" : "; ") + imp.module + " has no " + missing;
    }
    return out;
}

} // namespace simhost::detail
