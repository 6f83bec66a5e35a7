// Reading a Windows plugin's imports, to name what a load would miss: the
// loader's own error names nothing, and wine loads such a plugin anyway.

#include "host_test_support.h"
#include "platform/pe_imports.h"

#include <gmock/gmock.h>

#include <algorithm>

using namespace host_test;
using simhost::detail::describe_unresolved_imports;
using simhost::detail::pe_import;
using simhost::detail::read_pe_imports;
using ::testing::Contains;

namespace {

std::vector<std::string> functions_from(const std::vector<pe_import> &imports, const std::string &module)
{
    for (const pe_import &imp : imports)
        if (imp.module == module)
            return imp.functions;
    return {};
}

std::wstring wide(const std::string &ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

TEST(pe_imports, lists_each_dll_with_the_functions_taken_from_it_by_name)
{
    const auto imports = read_pe_imports(read_file(HOST_UNRESOLVED_PLUGIN));
    EXPECT_EQ(functions_from(imports, "XPLM_64.dll"), std::vector<std::string>{"XPLMNoSuchFunction"});
    EXPECT_THAT(functions_from(read_pe_imports(read_file(HOST_TEST_PLUGIN)), "XPLM_64.dll"),
                Contains("XPLMDebugString"));
}

TEST(pe_imports, names_the_function_the_loaded_xplm_lacks_and_nothing_for_a_plugin_it_serves)
{
    EXPECT_EQ(describe_unresolved_imports(wide(HOST_UNRESOLVED_PLUGIN)),
              "XPLM_64.dll has no XPLMNoSuchFunction");
    EXPECT_EQ(describe_unresolved_imports(wide(HOST_TEST_PLUGIN)), "");
}

TEST(pe_imports, names_a_dll_that_is_neither_loaded_nor_found)
{
    temp_dir tmp;
    std::string image = read_file(HOST_UNRESOLVED_PLUGIN);
    const size_t at = image.find("XPLM_64.dll");
    ASSERT_NE(at, std::string::npos);
    image.replace(at, 11, "XPLM_99.dll");
    write_file(tmp / "renamed.xpl", image);
    EXPECT_EQ(describe_unresolved_imports(wide(tmp / "renamed.xpl")), "XPLM_99.dll is not found");
}

// A cut or damaged file gives its whole table or nothing, never some of it or a crash.
TEST(pe_imports, a_damaged_or_cut_image_reads_as_no_imports)
{
    const std::string whole = read_file(HOST_TEST_PLUGIN);
    const auto full = read_pe_imports(whole);
    ASSERT_FALSE(full.empty());
    for (size_t len : {size_t(0), size_t(2), size_t(0x40), size_t(0x100), size_t(0x400), whole.size() / 4,
                       whole.size() / 2, whole.size() - 1}) {
        const auto cut = read_pe_imports(whole.substr(0, len));
        EXPECT_TRUE(cut.empty() || cut.size() == full.size()) << "cut to " << len << " bytes";
    }
    EXPECT_TRUE(read_pe_imports("not a library\n").empty());

    // The header's offset of the PE signature, pointed past the end.
    std::string bad_header = whole;
    bad_header[0x3c] = bad_header[0x3d] = bad_header[0x3e] = '\x7f';
    EXPECT_TRUE(read_pe_imports(bad_header).empty());
    EXPECT_EQ(describe_unresolved_imports(L"Z:\\no\\such\\file.xpl"), "");
}

} // namespace
