#pragma once

// Which of a Windows binary's imports cannot be resolved in this process, by
// name: Windows' loader answers only "procedure not found", and wine's loads
// the binary anyway, stubbing what is missing.

#include <string>
#include <vector>

namespace simhost::detail {

struct pe_import {
    std::string module;
    std::vector<std::string> functions; // by name; imports by ordinal are left out
};

// The import table of a 64-bit PE image held in `image` (the file's bytes).
// Empty for anything else, or for a table that points outside the file.
std::vector<pe_import> read_pe_imports(const std::string &image);

// "XPLM_64.dll has no XPLMFoo, XPLMBar; baz.dll is not found", or empty when
// nothing is missing or the file cannot be read.
std::string describe_unresolved_imports(const std::wstring &path);

} // namespace simhost::detail
