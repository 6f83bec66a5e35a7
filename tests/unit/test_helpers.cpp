// Unit tests of the memory/path helpers and the logger.

#include <acfutils/assert.h>
#include <acfutils/helpers.h>
#include <acfutils/log.h>

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex g_mtx;
std::vector<std::string> g_lines;

void capture(const char *line)
{
    std::lock_guard<std::mutex> lock(g_mtx);
    g_lines.emplace_back(line);
}

std::vector<std::string> take_lines()
{
    std::lock_guard<std::mutex> lock(g_mtx);
    std::vector<std::string> out;
    out.swap(g_lines);
    return out;
}

std::string joined(char *p)
{
    EXPECT_NE(p, nullptr);
    std::string s = (p != nullptr ? p : "");
    lacf_free(p);
    return s;
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { take_lines(); }
    void TearDown() override { log_fini(); }
};

} // namespace

TEST(Helpers, MallocAndFree)
{
    void *p = lacf_malloc(0);
    EXPECT_NE(p, nullptr);
    lacf_free(p);
    p = lacf_malloc(1000);
    ASSERT_NE(p, nullptr);
    memset(p, 0xab, 1000);
    lacf_free(p);
    lacf_free(nullptr);
}

// The pieces are joined with the platform's separator ('\\' on Windows); a
// separator a piece ends with stands in for it.
const std::string sep = DIRSEP_S;

TEST(Helpers, MkpathnameJoins)
{
    EXPECT_EQ(joined(mkpathname("a", NULL)), "a");
    EXPECT_EQ(joined(mkpathname("a", "b", NULL)), "a" + sep + "b");
    EXPECT_EQ(joined(mkpathname("a", "b", "c.cfg", NULL)), "a" + sep + "b" + sep + "c.cfg");
    EXPECT_EQ(joined(mkpathname("/usr", "share", "x", NULL)), "/usr" + sep + "share" + sep + "x");
    EXPECT_EQ(joined(mkpathname("Resources", "plugins", "kyv_pop", "settings", "popups.cfg", NULL)),
              "Resources" + sep + "plugins" + sep + "kyv_pop" + sep + "settings" + sep + "popups.cfg");
}

TEST(Helpers, MkpathnameTrailingSeparators)
{
    EXPECT_EQ(joined(mkpathname("a/", "b", NULL)), "a/b");
    EXPECT_EQ(joined(mkpathname("/", "etc", NULL)), "/etc");
    EXPECT_EQ(joined(mkpathname("a/", "b/", "c", NULL)), "a/b/c");
    // The last piece is kept as it is, trailing separator included.
    EXPECT_EQ(joined(mkpathname("a", "b/", NULL)), "a" + sep + "b/");
    EXPECT_EQ(joined(mkpathname("dir/", NULL)), "dir/");
}

TEST(Helpers, MkpathnameEmptyPieces)
{
    EXPECT_EQ(joined(mkpathname("", NULL)), "");
    EXPECT_EQ(joined(mkpathname("", "a", NULL)), sep + "a");
    EXPECT_EQ(joined(mkpathname("a", "", "b", NULL)), "a" + sep + sep + "b");
}

TEST(Helpers, MkpathnameManyPieces)
{
    std::string want = "0";
    for (int i = 1; i < 20; i++)
        want += sep + std::to_string(i);
    EXPECT_EQ(joined(mkpathname("0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13",
                                "14", "15", "16", "17", "18", "19", NULL)),
              want);
    std::string longp(5000, 'x');
    std::string r = joined(mkpathname(longp.c_str(), longp.c_str(), longp.c_str(), NULL));
    EXPECT_EQ(r, longp + sep + longp + sep + longp);
}

TEST(Helpers, LogBasename)
{
    EXPECT_STREQ(log_basename("/a/b/c.cpp"), "c.cpp");
    EXPECT_STREQ(log_basename("c.cpp"), "c.cpp");
    EXPECT_STREQ(log_basename("src/x.cpp"), "x.cpp");
    EXPECT_STREQ(log_basename("C:\\src\\win.cpp"), "win.cpp");
    EXPECT_STREQ(log_basename("dir/"), "");
    EXPECT_STREQ(log_basename(""), "");
    const char *p = "/x/y.cpp";
    EXPECT_EQ(log_basename(p), p + 3) << "points into the argument";
}

TEST_F(LogTest, LineFormatAndOneCallPerLine)
{
    log_init(capture, "kyv_pop: ");
    log_impl("file.cpp", 42, "hello %d %s", 7, "world");
    auto lines = take_lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "kyv_pop: [file.cpp:42]: hello 7 world\n");

    logMsg("via %s", "logMsg");
    int here = __LINE__ - 1;
    lines = take_lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "kyv_pop: [test_helpers.cpp:" + std::to_string(here) + "]: via logMsg\n");

    for (int i = 0; i < 5; i++)
        logMsg("line %d", i);
    lines = take_lines();
    ASSERT_EQ(lines.size(), 5u);
    for (int i = 0; i < 5; i++) {
        EXPECT_NE(lines[i].find("]: line " + std::to_string(i) + "\n"), std::string::npos);
        EXPECT_EQ(lines[i].find('\n'), lines[i].size() - 1);
    }
}

TEST_F(LogTest, EmptyMessageAndNullPrefix)
{
    log_init(capture, nullptr);
    log_impl("f.c", 1, "%s", "");
    auto lines = take_lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "[f.c:1]: \n");
}

TEST_F(LogTest, VaListForm)
{
    log_init(capture, "p ");
    auto call = [](const char *fmt, ...) {
        va_list ap;
        va_start(ap, fmt);
        log_impl_v("v.cpp", 3, fmt, ap);
        va_end(ap);
    };
    call("%d-%d", 1, 2);
    auto lines = take_lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "p [v.cpp:3]: 1-2\n");
}

TEST_F(LogTest, LongMessages)
{
    log_init(capture, "kyv_pop: ");
    for (size_t len : {1000u, 1023u, 1024u, 1025u, 4096u, 100000u, 5000000u}) {
        SCOPED_TRACE("length " + std::to_string(len));
        std::string msg(len, 'm');
        msg[len / 2] = 'X';
        log_impl("long.cpp", 9, "%s", msg.c_str());
        auto lines = take_lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0], "kyv_pop: [long.cpp:9]: " + msg + "\n");
    }
    // A long prefix too.
    std::string prefix(3000, 'P');
    log_init(capture, prefix.c_str());
    log_impl("f.cpp", 1, "x");
    auto lines = take_lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], prefix + "[f.cpp:1]: x\n");
}

TEST_F(LogTest, StderrBeforeInitAndAfterFini)
{
    testing::internal::CaptureStderr();
    log_impl("early.cpp", 5, "before init %d", 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "[early.cpp:5]: before init 1\n");

    log_init(capture, "kyv_pop: ");
    testing::internal::CaptureStderr();
    log_impl("mid.cpp", 6, "to the function");
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "");
    EXPECT_EQ(take_lines().size(), 1u);

    log_fini();
    testing::internal::CaptureStderr();
    log_impl("late.cpp", 7, "after fini");
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "[late.cpp:7]: after fini\n");
    EXPECT_TRUE(take_lines().empty());
}

TEST_F(LogTest, ThreadsDoNotInterleave)
{
    log_init(capture, "mt: ");
    const int n_threads = 8, per_thread = 2000;
    std::vector<std::thread> threads;
    for (int t = 0; t < n_threads; t++) {
        threads.emplace_back([t] {
            std::string pad(200 + t * 50, (char)('a' + t));
            for (int i = 0; i < per_thread; i++)
                log_impl("t.cpp", t, "%d %s", i, pad.c_str());
        });
    }
    for (auto &th : threads)
        th.join();
    auto lines = take_lines();
    ASSERT_EQ(lines.size(), (size_t)(n_threads * per_thread));
    std::vector<int> next(n_threads, 0);
    for (const auto &l : lines) {
        int t = -1, i = -1;
        ASSERT_EQ(sscanf(l.c_str(), "mt: [t.cpp:%d]: %d ", &t, &i), 2) << l;
        ASSERT_TRUE(t >= 0 && t < n_threads);
        EXPECT_EQ(i, next[t]++) << "lines of one thread stay in order";
        std::string pad(200 + t * 50, (char)('a' + t));
        EXPECT_EQ(l, "mt: [t.cpp:" + std::to_string(t) + "]: " + std::to_string(i) + " " + pad + "\n");
    }
}

TEST_F(LogTest, ReinitReplacesFunctionAndPrefix)
{
    log_init(capture, "one: ");
    log_impl("a.cpp", 1, "x");
    log_init(capture, "two: ");
    log_impl("a.cpp", 2, "y");
    auto lines = take_lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "one: [a.cpp:1]: x\n");
    EXPECT_EQ(lines[1], "two: [a.cpp:2]: y\n");
}

namespace {
// ASSERT3U's commas cannot pass through EXPECT_DEATH's macro arguments.
void assert3u_fails(int one)
{
    ASSERT3U(one, >, 5);
}
void assert3u_passes(int one)
{
    ASSERT3U(one, <, 5);
}
} // namespace

TEST(AssertDeathTest, FailedAssertLogsAndAborts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    int one = 1;
    // Written for gtest's simple regular expressions (Windows) as well as POSIX ones.
    EXPECT_DEATH(ASSERT(one == 2), "\\[test_helpers\\.cpp:.+\\]: assertion \"one == 2\" failed");
    EXPECT_DEATH(assert3u_fails(one), "assertion one > 5 failed \\(0x1 > 0x5\\)");
    ASSERT(one == 1);
    assert3u_passes(one);
}
