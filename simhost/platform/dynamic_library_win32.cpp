#include "platform/dynamic_library.h"

#include "platform/pe_imports.h"

#include <windows.h>

namespace simhost::detail {

namespace {

std::wstring widen(const std::string &utf8)
{
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(const wchar_t *wide, int length)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, out.data(), n, nullptr, nullptr);
    return out;
}

std::string system_message(DWORD code)
{
    wchar_t *text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::string out = n > 0 ? narrow(text, static_cast<int>(n)) : std::string();
    LocalFree(text);
    while (!out.empty() &&
           (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    char code_text[32];
    snprintf(code_text, sizeof(code_text), "Windows error %lu", static_cast<unsigned long>(code));
    return out.empty() ? code_text : out + " (" + code_text + ")";
}

} // namespace

void *open_library(const std::string &path, std::string &error)
{
    const std::wstring wide = widen(path);
    // Checked before loading: Windows' loader says only "procedure not found",
    // and wine's loads the plugin anyway and stops the process at the first call.
    const std::string missing = describe_unresolved_imports(wide);
    if (!missing.empty()) {
        error = missing;
        return nullptr;
    }
    // Stops the system's "cannot find DLL" dialog; the error comes back instead.
    DWORD old_mode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_mode);
    // The altered search path looks for the plugin's own DLLs beside it first.
    HMODULE module = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD code = module == nullptr ? GetLastError() : 0;
    SetThreadErrorMode(old_mode, nullptr);
    if (module == nullptr)
        error = system_message(code);
    return module;
}

library_function library_symbol(void *library, const char *name)
{
    return reinterpret_cast<library_function>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void close_library(void *library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}

} // namespace simhost::detail
