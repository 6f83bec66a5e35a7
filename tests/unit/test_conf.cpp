// Unit tests of the settings-file module (acfutils/conf.h).

#include <acfutils/conf.h>
#include <acfutils/crc64.h>
#include <acfutils/log.h>

#include <gtest/gtest.h>

#include "log_capture.h"
#include "temp_dir.h"

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

class ConfTest : public ::testing::Test {
protected:
    temp_dir tmp_;
    log_capture logs_;

    std::string path(const std::string &name) const { return tmp_ / name; }

    std::string write_raw(const std::string &name, const std::string &content)
    {
        std::string p = path(name);
        std::ofstream f(p, std::ios::binary | std::ios::trunc);
        f.write(content.data(), (std::streamsize)content.size());
        f.close();
        EXPECT_TRUE(f.good());
        return p;
    }

    static std::string read_raw(const std::string &p)
    {
        std::ifstream f(p, std::ios::binary);
        std::ostringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }

    // Reads `content` as a settings file; fails the test when it returns NULL.
    conf_t *parse(const std::string &content, int *errline = nullptr, const std::string &name = "popups.cfg")
    {
        std::string p = write_raw(name, content);
        int el = -12345;
        conf_t *c = conf_read_file(p.c_str(), &el);
        EXPECT_NE(c, nullptr) << "content could not be read";
        if (errline != nullptr)
            *errline = el;
        return c;
    }

    std::vector<std::string> log_lines() const { return logs_.lines(); }

    bool log_contains(const std::string &needle) const
    {
        for (const auto &l : log_lines())
            if (l.find(needle) != std::string::npos)
                return true;
        return false;
    }

    std::vector<std::string> dir_entries() const
    {
        std::vector<std::string> names;
        for (const auto &e : fs::directory_iterator(tmp_.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static int get(const conf_t *c, const char *key, int dflt = -777)
    {
        int v = dflt;
        conf_get_i(c, key, &v);
        return v;
    }
};

// For a file of one bad line then "good = 42": the bad line was reported
// as line 1 and the good line was kept.
void expect_malformed(conf_t *c, int errline)
{
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, 1);
    int v = 0;
    EXPECT_TRUE(conf_get_i(c, "good", &v));
    EXPECT_EQ(v, 42);
}

} // namespace

TEST_F(ConfTest, RoundTrip)
{
    conf_t *c = conf_create_empty();
    ASSERT_NE(c, nullptr);
    conf_set_i(c, "popup_x", 100);
    conf_set_i(c, "popup_y", -250);
    conf_set_i(c, "max", INT_MAX);
    conf_set_i(c, "min", INT_MIN);
    conf_set_i(c, "zero", 0);
    std::string p = path("popups.cfg");
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    conf_free(c);

    EXPECT_EQ(read_raw(p), "popup_x = 100\npopup_y = -250\nmax = 2147483647\nmin = -2147483648\nzero = 0\n");

    int errline = 0;
    conf_t *r = conf_read_file(p.c_str(), &errline);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(errline, -1);
    EXPECT_EQ(get(r, "popup_x"), 100);
    EXPECT_EQ(get(r, "popup_y"), -250);
    EXPECT_EQ(get(r, "max"), INT_MAX);
    EXPECT_EQ(get(r, "min"), INT_MIN);
    EXPECT_EQ(get(r, "zero", 5), 0);
    int v = 9;
    EXPECT_FALSE(conf_get_i(r, "absent", &v));
    EXPECT_EQ(v, 9);

    // Writing what was read gives the same bytes back.
    std::string p2 = path("again.cfg");
    ASSERT_TRUE(conf_write_file(r, p2.c_str()));
    EXPECT_EQ(read_raw(p2), read_raw(p));
    conf_free(r);
    EXPECT_TRUE(log_lines().empty());
}

TEST_F(ConfTest, EmptyConfAndEmptyFile)
{
    conf_t *c = conf_create_empty();
    ASSERT_NE(c, nullptr);
    std::string p = path("empty.cfg");
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    conf_free(c);
    EXPECT_EQ(read_raw(p), "");

    int errline = 0;
    conf_t *r = conf_read_file(p.c_str(), &errline);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(errline, -1);
    int v = 3;
    EXPECT_FALSE(conf_get_i(r, "x", &v));
    EXPECT_EQ(v, 3);
    conf_free(r);
}

TEST_F(ConfTest, SetReplacesInPlaceAndAppendsNew)
{
    conf_t *c = conf_create_empty();
    conf_set_i(c, "a", 1);
    conf_set_i(c, "b", 2);
    conf_set_i(c, "c", 3);
    conf_set_i(c, "a", 10);
    conf_set_i(c, "d", 4);
    EXPECT_EQ(get(c, "a"), 10);
    std::string p = path("order.cfg");
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    EXPECT_EQ(read_raw(p), "a = 10\nb = 2\nc = 3\nd = 4\n");
    conf_free(c);
}

TEST_F(ConfTest, CommentsBlankLinesAndSpacing)
{
    int errline = 0;
    conf_t *c = parse("# a comment\n"
                      "   # an indented comment = with equals\n"
                      "\t# a tab-indented comment\n"
                      "\n"
                      "   \n"
                      "\t \t\n"
                      "a=1\n"
                      "b = 2\n"
                      "  c\t=\t3  \n"
                      "d    =    -4\t\n"
                      "#e = 5\n"
                      "# caf\xc3\xa9: UTF-8 in a comment is fine\n",
                      &errline);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, -1);
    EXPECT_EQ(get(c, "a"), 1);
    EXPECT_EQ(get(c, "b"), 2);
    EXPECT_EQ(get(c, "c"), 3);
    EXPECT_EQ(get(c, "d"), -4);
    int v = 0;
    EXPECT_FALSE(conf_get_i(c, "e", &v));
    EXPECT_FALSE(conf_get_i(c, "#e", &v));

    // Comments stay where they stood, indentation kept and trailing blanks
    // dropped; blank lines stay as empty ones; entries come out canonical.
    conf_set_i(c, "b", 20);
    conf_set_i(c, "new", 5);
    conf_add_comment(c, "added by the program  ");
    conf_add_comment(c, "no\nnewlines");
    std::string p = path("out.cfg");
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    conf_free(c);
    EXPECT_EQ(read_raw(p), "# a comment\n"
                           "   # an indented comment = with equals\n"
                           "\t# a tab-indented comment\n"
                           "\n\n\n"
                           "a = 1\n"
                           "b = 20\n"
                           "c = 3\n"
                           "d = -4\n"
                           "#e = 5\n"
                           "# caf\xc3\xa9: UTF-8 in a comment is fine\n"
                           "new = 5\n"
                           "# added by the program\n");
    EXPECT_EQ(logs_.messages(), std::vector<std::string>{"conf: refused a comment with a control byte"});
}

TEST_F(ConfTest, CrlfLineEndings)
{
    int errline = 0;
    conf_t *c = parse("# comment\r\na = 1\r\n\r\nb=2\r\n  c = 3  \r\n", &errline);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, -1);
    EXPECT_EQ(get(c, "a"), 1);
    EXPECT_EQ(get(c, "b"), 2);
    EXPECT_EQ(get(c, "c"), 3);
    std::string p = path("out.cfg");
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    EXPECT_EQ(read_raw(p), "# comment\r\na = 1\r\n\r\nb = 2\r\nc = 3\r\n");
    conf_free(c);
}

TEST_F(ConfTest, NoFinalNewline)
{
    int errline = 0;
    conf_t *c = parse("a = 1\nb = 2", &errline);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, -1);
    EXPECT_EQ(get(c, "a"), 1);
    EXPECT_EQ(get(c, "b"), 2);
    conf_free(c);

    c = parse("a = 1\r\nb = 7\r", &errline, "crlf_eof.cfg");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, -1);
    EXPECT_EQ(get(c, "b"), 7);
    conf_free(c);

    // A bad last line without its newline is still numbered and reported.
    c = parse("a = 1\nb = 2\ngarbage", &errline, "bad_eof.cfg");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, 3);
    EXPECT_EQ(get(c, "b"), 2);
    conf_free(c);
}

TEST_F(ConfTest, MalformedLinesAreSkippedAndLogged)
{
    const std::vector<std::string> bad = {
        "no equals sign here",
        "= 5",
        "   =   5",
        "key =",
        "key =    ",
        "key with space = 1",
        "ke\ty = 1",
        std::string("ke\x01y = 1"),
        std::string("key = 1\x02"),
        std::string("key = \x1b[31m"),
        std::string("ke\0y = 1", 8),
        std::string("key = 1\0", 8),
        std::string("\0", 1),
        std::string("  \0  ", 5),
        std::string("key = 1\r2"),
        std::string("\x7f = 1"),
        "\xff\xfe = 1",
        "k\xc3\xa9y = 1",
        "key = caf\xc3\xa9",
        "key = \x80\x81\x82",
    };
    for (size_t i = 0; i < bad.size(); i++) {
        SCOPED_TRACE("bad line #" + std::to_string(i));
        logs_.clear();
        int errline = 0;
        std::string name = "bad" + std::to_string(i) + ".cfg";
        conf_t *c = parse(bad[i] + "\ngood = 42\n", &errline, name);
        expect_malformed(c, errline);
        EXPECT_TRUE(log_contains(name + ":1: skipped malformed line"))
            << (log_lines().empty() ? std::string("(no log line)") : log_lines()[0]);
        int v = 0;
        EXPECT_FALSE(conf_get_i(c, "key", &v));
        // Nothing of the bad line survives into a rewrite.
        std::string out = path("out" + std::to_string(i) + ".cfg");
        ASSERT_TRUE(conf_write_file(c, out.c_str()));
        EXPECT_EQ(read_raw(out), "good = 42\n");
        conf_free(c);
    }
}

TEST_F(ConfTest, ErrlineIsFirstBadLineAndEveryBadLineIsLogged)
{
    int errline = 0;
    conf_t *c = parse("a = 1\n"
                      "# fine\n"
                      "bad line\n"
                      "b = 2\n"
                      "= oops\n"
                      "c = 3\n"
                      "d =\n",
                      &errline);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, 3);
    EXPECT_EQ(get(c, "a"), 1);
    EXPECT_EQ(get(c, "b"), 2);
    EXPECT_EQ(get(c, "c"), 3);
    EXPECT_TRUE(log_contains("popups.cfg:3: skipped malformed line"));
    EXPECT_TRUE(log_contains("popups.cfg:5: skipped malformed line"));
    EXPECT_TRUE(log_contains("popups.cfg:7: skipped malformed line"));
    EXPECT_FALSE(log_contains("popups.cfg:4:"));
    conf_free(c);

    // errline may be NULL.
    std::string p = write_raw("null_errline.cfg", "junk\nx = 1\n");
    c = conf_read_file(p.c_str(), nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(get(c, "x"), 1);
    conf_free(c);
}

TEST_F(ConfTest, ValuesMayHoldSpacesAndEquals)
{
    int errline = 0;
    conf_t *c = parse("title = Hello  World\nexpr = a = b\nn = 5\n", &errline);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, -1);
    int v = 1;
    EXPECT_FALSE(conf_get_i(c, "title", &v));
    EXPECT_FALSE(conf_get_i(c, "expr", &v));
    EXPECT_EQ(v, 1);
    std::string p = path("out.cfg");
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    EXPECT_EQ(read_raw(p), "title = Hello  World\nexpr = a = b\nn = 5\n");
    conf_free(c);
}

TEST_F(ConfTest, StringsReadBackAsWrittenAndValuesThatWouldNotAreRefused)
{
    conf_t *c = conf_create_empty();
    conf_set_str(c, "source", "panel");
    conf_set_str(c, "title", "a b = c");
    conf_set_str(c, "broken", "two\nlines");
    conf_set_str(c, "padded", " x ");
    std::string p = path("s.cfg");
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    conf_free(c);
    c = conf_read_file(p.c_str(), nullptr);
    ASSERT_NE(c, nullptr);
    const char *v = nullptr;
    ASSERT_TRUE(conf_get_str(c, "source", &v));
    EXPECT_STREQ(v, "panel");
    ASSERT_TRUE(conf_get_str(c, "title", &v));
    EXPECT_STREQ(v, "a b = c");
    EXPECT_FALSE(conf_get_str(c, "broken", &v));
    EXPECT_FALSE(conf_get_str(c, "padded", &v));
    EXPECT_FALSE(conf_get_str(c, "absent", &v));
    conf_free(c);
}

TEST_F(ConfTest, IntegerParsing)
{
    struct {
        const char *text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"7", true, 7},
        {"+7", true, 7},
        {"-7", true, -7},
        {"-0", true, 0},
        {"007", true, 7},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"+2147483647", true, INT_MAX},
        {"00000000000000000000002147483647", true, INT_MAX},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"4294967296", false, 0},
        {"4294967297", false, 0},
        {"9223372036854775807", false, 0},
        {"9223372036854775808", false, 0},
        {"-9223372036854775809", false, 0},
        {"99999999999999999999999999999999", false, 0},
        {"abc", false, 0},
        {"12abc", false, 0},
        {"abc12", false, 0},
        {"1.5", false, 0},
        {"1e3", false, 0},
        {"0x10", false, 0},
        {"+", false, 0},
        {"-", false, 0},
        {"+-1", false, 0},
        {"--1", false, 0},
        {"1 2", false, 0},
        {"- 1", false, 0},
        {"1,000", false, 0},
        {"true", false, 0},
    };
    std::string content;
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); i++)
        content += "k" + std::to_string(i) + " = " + cases[i].text + "\n";
    int errline = 0;
    conf_t *c = parse(content, &errline);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, -1);
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); i++) {
        SCOPED_TRACE(std::string("value \"") + cases[i].text + "\"");
        std::string key = "k" + std::to_string(i);
        int v = 123456;
        EXPECT_EQ(conf_get_i(c, key.c_str(), &v), cases[i].ok);
        EXPECT_EQ(v, cases[i].ok ? cases[i].value : 123456) << "untouched when absent";
        const std::string said = "\"" + key + "\" holds \"" + cases[i].text + "\", not a whole number";
        EXPECT_EQ(log_contains(said), !cases[i].ok) << "a value that is there but unusable is named";
    }
    int v = 0;
    EXPECT_FALSE(conf_get_i(c, "absent", &v));
    EXPECT_FALSE(log_contains("\"absent\"")) << "a missing key is the caller's to report";
    conf_free(c);
}

TEST_F(ConfTest, DuplicatesLastWinsAndIsLogged)
{
    int errline = 0;
    conf_t *c = parse("a = 1\nb = 2\na = 3\n", &errline);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, -1);
    EXPECT_EQ(get(c, "a"), 3);
    EXPECT_EQ(get(c, "b"), 2);
    bool logged = false;
    for (const auto &l : log_lines())
        if (l.find("popups.cfg:3") != std::string::npos && l.find("a") != std::string::npos)
            logged = true;
    EXPECT_TRUE(logged);
    std::string p = path("out.cfg");
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    EXPECT_EQ(read_raw(p), "a = 3\nb = 2\n") << "one entry per key";
    conf_free(c);
}

TEST_F(ConfTest, KeysAreCaseSensitive)
{
    conf_t *c = parse("Key = 1\nkey = 2\nKEY = 3\n");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(get(c, "Key"), 1);
    EXPECT_EQ(get(c, "key"), 2);
    EXPECT_EQ(get(c, "KEY"), 3);
    int v = 0;
    EXPECT_FALSE(conf_get_i(c, "kEy", &v));
    conf_free(c);
}

TEST_F(ConfTest, UnknownEntriesAreKeptOnWrite)
{
    std::string p = write_raw("popups.cfg", "# my settings\n"
                                            "theme = dark blue\n"
                                            "popup_x = 10\n"
                                            "future.option = on\n"
                                            "popup_y = 20\n");
    int errline = 0;
    conf_t *c = conf_read_file(p.c_str(), &errline);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, -1);
    conf_set_i(c, "popup_x", 11);
    conf_set_i(c, "new_one", 5);
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    conf_free(c);
    EXPECT_EQ(read_raw(p), "# my settings\n"
                           "theme = dark blue\n"
                           "popup_x = 11\n"
                           "future.option = on\n"
                           "popup_y = 20\n"
                           "new_one = 5\n");
}

TEST_F(ConfTest, LongLines)
{
    // Exactly 4096 bytes is accepted, with "\n" or "\r\n"; 4097 is not.
    std::string ok_line = "long = " + std::string(4096 - 7, '7');
    ASSERT_EQ(ok_line.size(), 4096u);
    std::string long_line = "long = " + std::string(4097 - 7, '7');
    int errline = 0;

    conf_t *c = parse(ok_line + "\nx = 1\n", &errline, "ok.cfg");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, -1);
    std::string out = path("ok_out.cfg");
    ASSERT_TRUE(conf_write_file(c, out.c_str()));
    EXPECT_EQ(read_raw(out), ok_line + "\nx = 1\n");
    conf_free(c);

    c = parse(ok_line + "\r\nx = 1\r\n", &errline, "ok_crlf.cfg");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, -1);
    conf_free(c);

    c = parse("x = 1\n" + long_line + "\ny = 2\n", &errline, "long.cfg");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, 2);
    EXPECT_EQ(get(c, "x"), 1);
    EXPECT_EQ(get(c, "y"), 2);
    EXPECT_TRUE(log_contains("long.cfg:2: skipped malformed line"));
    out = path("long_out.cfg");
    ASSERT_TRUE(conf_write_file(c, out.c_str()));
    EXPECT_EQ(read_raw(out), "x = 1\ny = 2\n");
    conf_free(c);

    // An overlong line at the end of the file, without its newline.
    c = parse("x = 1\n" + long_line, &errline, "long_eof.cfg");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, 2);
    EXPECT_EQ(get(c, "x"), 1);
    conf_free(c);

    // Every length around the chunk sizes an implementation may use.
    for (size_t len : {4095u, 4097u, 4098u, 8191u, 8192u, 8193u, 65535u, 65536u, 65537u}) {
        SCOPED_TRACE("line length " + std::to_string(len));
        std::string l = "k = " + std::string(len - 4, '1');
        c = parse("a = 1\n" + l + "\nb = 2\n", &errline, "len.cfg");
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(errline, len <= 4096 ? -1 : 2);
        EXPECT_EQ(get(c, "a"), 1);
        EXPECT_EQ(get(c, "b"), 2);
        conf_free(c);
    }
}

TEST_F(ConfTest, TenMegabyteLine)
{
    const size_t ten_mb = 10u * 1024 * 1024;

    std::string content = "before = 1\n";
    content += "huge = ";
    content.append(ten_mb, 'x');
    content += "\nafter = 2\n";
    int errline = 0;
    conf_t *c = parse(content, &errline, "huge.cfg");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, 2);
    EXPECT_EQ(get(c, "before"), 1);
    EXPECT_EQ(get(c, "after"), 2);
    EXPECT_TRUE(log_contains("huge.cfg:2: skipped malformed line"));
    conf_free(c);

    // A 10 MB line of garbage without any newline, the whole file.
    std::string garbage(ten_mb, '\0');
    for (size_t i = 0; i < garbage.size(); i++)
        garbage[i] = (char)(i * 131 % 251);
    for (char &ch : garbage)
        if (ch == '\n')
            ch = 'n';
    c = parse(garbage, &errline, "huge_garbage.cfg");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, 1);
    conf_free(c);
}

TEST_F(ConfTest, CommentAndBlankLinesKeptAreBounded)
{
    int errline = 0;
    conf_t *c = parse("a = 1\n" + std::string(100000, '\n') + "# one too many\nb = 2\n", &errline);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(errline, 100002);
    EXPECT_EQ(get(c, "b"), 2);
    std::string p = path("out.cfg");
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    conf_free(c);
    EXPECT_EQ(read_raw(p), "a = 1\n" + std::string(100000, '\n') + "b = 2\n");
    EXPECT_TRUE(log_contains(":100002: skipped malformed line (more than 100000 comment and blank lines)"));
}

TEST_F(ConfTest, GarbageNeverCrashes)
{
    // Every byte value, in and between otherwise good lines.
    std::string all;
    for (int i = 0; i < 256; i++)
        all += (char)i;
    int errline = 0;
    conf_t *c = parse("a = 1\n" + all + "\nb = 2\n" + all + all + "\r\n\r\r\n", &errline, "bytes.cfg");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(get(c, "a"), 1);
    EXPECT_EQ(get(c, "b"), 2);
    EXPECT_EQ(errline, 2); // the line of bytes 0..9 (up to the '\n')
    conf_free(c);

    // Pseudo-random content of many sizes: reading must always succeed, and
    // whatever was accepted must be writable and read back the same.
    crc64_init();
    crc64_srand(20240601);
    for (int round = 0; round < 200; round++) {
        size_t len = (size_t)(crc64_rand() % 20000);
        std::string data(len, '\0');
        for (size_t i = 0; i < len; i++) {
            uint64_t r = crc64_rand();
            // Plenty of structure characters, so that some lines are good.
            switch (r % 8) {
            case 0:
                data[i] = '\n';
                break;
            case 1:
                data[i] = '=';
                break;
            case 2:
                data[i] = ' ';
                break;
            case 3:
                data[i] = (char)('0' + (r >> 8) % 10);
                break;
            case 4:
                data[i] = (char)('a' + (r >> 8) % 26);
                break;
            default:
                data[i] = (char)(r >> 16);
                break;
            }
        }
        SCOPED_TRACE("round " + std::to_string(round));
        c = parse(data, &errline, "random.cfg");
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(errline == -1 || errline >= 1);
        std::string out = path("random_out.cfg");
        ASSERT_TRUE(conf_write_file(c, out.c_str()));
        int errline2 = 0;
        conf_t *c2 = conf_read_file(out.c_str(), &errline2);
        ASSERT_NE(c2, nullptr);
        EXPECT_EQ(errline2, -1) << "what we write must read back cleanly";
        std::string out2 = path("random_out2.cfg");
        ASSERT_TRUE(conf_write_file(c2, out2.c_str()));
        EXPECT_EQ(read_raw(out), read_raw(out2));
        conf_free(c2);
        conf_free(c);
    }
}

TEST_F(ConfTest, ReadFailuresReturnNull)
{
    int errline = 0;
    EXPECT_EQ(conf_read_file(path("missing.cfg").c_str(), &errline), nullptr);
    EXPECT_EQ(conf_read_file(tmp_.path().c_str(), &errline), nullptr) << "a directory";
    fs::create_directory(path("sub"));
    EXPECT_EQ(conf_read_file(path("sub").c_str(), nullptr), nullptr);
    EXPECT_EQ(conf_read_file(path("missing_dir/x.cfg").c_str(), nullptr), nullptr);

#ifndef _WIN32 // Windows has no mode bits that take reading away
    if (geteuid() != 0) {
        std::string p = write_raw("secret.cfg", "a = 1\n");
        chmod(p.c_str(), 0);
        EXPECT_EQ(conf_read_file(p.c_str(), &errline), nullptr) << "no read permission";
    }
#endif
}

TEST_F(ConfTest, FreeNullAndNullArguments)
{
    conf_free(nullptr);
    int v = 4;
    EXPECT_FALSE(conf_get_i(nullptr, "a", &v));
    EXPECT_EQ(v, 4);
    conf_t *c = conf_create_empty();
    EXPECT_FALSE(conf_get_i(c, nullptr, &v));
    conf_set_i(c, "a", 1);
    EXPECT_TRUE(conf_get_i(c, "a", nullptr));
    conf_free(c);
}

TEST_F(ConfTest, InvalidKeysAreNotSet)
{
    // A key that would not read back as itself is refused.
    conf_t *c = conf_create_empty();
    conf_set_i(c, "", 1);
    conf_set_i(c, "two words", 2);
    conf_set_i(c, "a=b", 3);
    conf_set_i(c, "#comment", 4);
    conf_set_i(c, "ok", 5);
    std::string p = path("keys.cfg");
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    EXPECT_EQ(read_raw(p), "ok = 5\n");
    conf_free(c);
}

TEST_F(ConfTest, AWriterKilledMidWriteLeavesTheOldOrTheNewFileNeverAPart)
{
#ifdef _WIN32
    GTEST_SKIP() << "kills a forked writer mid-write; Windows has no fork";
#else
    // Two contents big enough that writing one takes a while.
    conf_t *a = conf_create_empty(), *b = conf_create_empty();
    for (int i = 0; i < 20000; i++) {
        const std::string key = "key_" + std::to_string(i);
        conf_set_i(a, key.c_str(), i);
        conf_set_i(b, key.c_str(), -i - 1);
    }
    const std::string p = path("popups.cfg"), other = path("other.cfg");
    ASSERT_TRUE(conf_write_file(b, other.c_str()));
    ASSERT_TRUE(conf_write_file(a, p.c_str()));
    const std::string text_a = read_raw(p), text_b = read_raw(other);

    for (int round = 0; round < 20; round++) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0;; i++)
                conf_write_file(i % 2 ? a : b, p.c_str());
        }
        usleep(static_cast<useconds_t>(500 + round * 900));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        const std::string now = read_raw(p);
        ASSERT_TRUE(now == text_a || now == text_b)
            << "killed after " << 500 + round * 900 << " us, the file holds " << now.size() << " bytes";
    }
    conf_free(a);
    conf_free(b);
#endif
}

TEST_F(ConfTest, WriteReplacesAtomicallyAndLeavesNoTempFile)
{
    std::string p = write_raw("popups.cfg", "old = 1\n");
#ifndef _WIN32
    chmod(p.c_str(), 0600);
#endif
    conf_t *c = conf_create_empty();
    conf_set_i(c, "new", 2);
    ASSERT_TRUE(conf_write_file(c, p.c_str()));
    EXPECT_EQ(read_raw(p), "new = 2\n");
    EXPECT_EQ(dir_entries(), std::vector<std::string>{"popups.cfg"});
#ifndef _WIN32 // POSIX mode bits; Windows files carry none to keep
    struct stat st;
    ASSERT_EQ(stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the replaced file's mode is kept";
#endif
    conf_free(c);
}

TEST_F(ConfTest, FailedWriteToMissingFolder)
{
    conf_t *c = conf_create_empty();
    conf_set_i(c, "a", 1);
    std::string p = path("no_such_dir/popups.cfg");
    EXPECT_FALSE(conf_write_file(c, p.c_str()));
    EXPECT_FALSE(fs::exists(p));
    EXPECT_TRUE(dir_entries().empty());
    EXPECT_TRUE(log_contains(p)) << "the log names the path";
    EXPECT_TRUE(log_contains(strerror(ENOENT))) << "and the errno text";
    conf_free(c);
}

TEST_F(ConfTest, FailedRenameLeavesOldTargetAndNoTempFile)
{
    // The target is a non-empty folder: rename fails (even for root).
    fs::create_directory(path("popups.cfg"));
    write_raw("popups.cfg/keep", "precious\n");
    conf_t *c = conf_create_empty();
    conf_set_i(c, "a", 1);
    std::string p = path("popups.cfg");
    EXPECT_FALSE(conf_write_file(c, p.c_str()));
    EXPECT_EQ(dir_entries(), std::vector<std::string>{"popups.cfg"}) << "no temp file left";
    EXPECT_EQ(read_raw(path("popups.cfg/keep")), "precious\n");
    EXPECT_TRUE(log_contains(p));
    conf_free(c);
}

TEST_F(ConfTest, FailedWriteToReadOnlyFolderKeepsOldFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "a Windows folder's read-only attribute does not stop files being created in it";
#else
    if (geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    std::string p = write_raw("popups.cfg", "old = 1\n");
    fs::permissions(tmp_.path(), fs::perms::owner_read | fs::perms::owner_exec);
    conf_t *c = conf_create_empty();
    conf_set_i(c, "new", 2);
    EXPECT_FALSE(conf_write_file(c, p.c_str()));
    fs::permissions(tmp_.path(), fs::perms::owner_all);
    EXPECT_EQ(read_raw(p), "old = 1\n");
    EXPECT_EQ(dir_entries(), std::vector<std::string>{"popups.cfg"});
    EXPECT_TRUE(log_contains(p));
    EXPECT_TRUE(log_contains(strerror(EACCES)));
    conf_free(c);
#endif
}

TEST_F(ConfTest, FailedWriteOnFullDeviceKeepsOldFile)
{
    // Writes to /dev/full fail with ENOSPC; a symlink named like the temp
    // file cannot be arranged portably, so this uses RLIMIT_FSIZE instead:
    // a write past the limit fails with EFBIG (SIGXFSZ ignored).
#ifdef _WIN32
    GTEST_SKIP() << "needs a file size limit (RLIMIT_FSIZE), which Windows does not have";
#else
    std::string p = write_raw("popups.cfg", "old = 1\n");
    conf_t *c = conf_create_empty();
    for (int i = 0; i < 2000; i++)
        conf_set_i(c, ("key_number_" + std::to_string(i)).c_str(), i);

    struct rlimit old_lim;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_lim), 0);
    void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim = old_lim;
    lim.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lim), 0);
    bool ok = conf_write_file(c, p.c_str());
    setrlimit(RLIMIT_FSIZE, &old_lim);
    signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(read_raw(p), "old = 1\n");
    EXPECT_EQ(dir_entries(), std::vector<std::string>{"popups.cfg"}) << "no temp file left";
    EXPECT_TRUE(log_contains(p));
    EXPECT_TRUE(log_contains(strerror(EFBIG)));
    conf_free(c);
#endif
}
