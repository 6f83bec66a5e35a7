// The remote viewer's server driven directly: its settings file, what it
// decides from a request alone, and what a real client meets on loopback.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <civetweb.h>

#include "cfg_file.h"
#include "log_capture.h"
#include "remote/remote_settings.h"
#include "remote/request_rules.h"
#include "remote/web_server.h"
#include "temp_dir.h"
#include "web_client.h"

namespace {

using namespace remote;

struct route_case {
    const char *path;
    route_kind kind;
    display_id display;
};

class route_table : public ::testing::TestWithParam<route_case> {};

TEST_P(route_table, each_path_leads_to_its_page_or_to_nothing)
{
    const route r = parse_route(GetParam().path);
    EXPECT_EQ(r.kind, GetParam().kind);
    if (r.kind == route_kind::viewer || r.kind == route_kind::picture) {
        EXPECT_EQ(r.display, GetParam().display);
    }
}

INSTANTIATE_TEST_SUITE_P(paths, route_table,
                         ::testing::Values(route_case{"/", route_kind::index, display_id::pfd},
                                           route_case{"/mfd", route_kind::viewer, display_id::mfd},
                                           route_case{"/pfd2", route_kind::viewer, display_id::pfd2},
                                           route_case{"/pfd2.jpg", route_kind::picture, display_id::pfd2},
                                           route_case{"/ws", route_kind::socket, display_id::pfd},
                                           route_case{"/.jpg", route_kind::not_found, display_id::pfd},
                                           route_case{"/pfd3", route_kind::not_found, display_id::pfd},
                                           route_case{"*pfd", route_kind::not_found, display_id::pfd},
                                           route_case{"/pfd/", route_kind::not_found, display_id::pfd},
                                           route_case{"/../settings/remote.cfg", route_kind::not_found,
                                                      display_id::pfd},
                                           route_case{"", route_kind::not_found, display_id::pfd}));

TEST(request_rules, only_the_exact_token_this_computers_host_names_and_the_servers_own_origin_pass)
{
    EXPECT_TRUE(token_ok(nullptr, ""));
    EXPECT_TRUE(token_ok("keys=1&token=ab%63d", "abcd"));
    EXPECT_FALSE(token_ok(nullptr, "abcd"));
    EXPECT_FALSE(token_ok("token=abc", "abcd"));
    EXPECT_FALSE(token_ok("token=abcde", "abcd"));

    EXPECT_TRUE(loopback_host("127.0.0.1:8642"));
    EXPECT_TRUE(loopback_host("LocalHost"));
    EXPECT_TRUE(loopback_host("[::1]:8642"));
    EXPECT_FALSE(loopback_host("evil.example:8642")) << "a renamed page from elsewhere";
    EXPECT_FALSE(loopback_host("127.0.0.1.evil.example"));
    EXPECT_FALSE(loopback_host("[::1]evil"));

    EXPECT_TRUE(origin_ok(nullptr, "127.0.0.1:8642"));
    EXPECT_TRUE(origin_ok("HTTP://127.0.0.1:8642", "127.0.0.1:8642"));
    EXPECT_FALSE(origin_ok("http://evil.example", "127.0.0.1:8642"));
    EXPECT_FALSE(origin_ok("http://127.0.0.1:8642", nullptr));
}

TEST(request_rules, key_messages_name_a_bezel_key_and_nothing_else)
{
    const std::string ok[] = {"down softkey12", "up ent", "down fms_outer_up"};
    for (const std::string &m : ok)
        EXPECT_TRUE(parse_key_message(m.data(), m.size()).valid) << m;
    const std::string bad[] = {"down",    "press ent",     "down ent ", "down sim/GPS/g1000n1_ent",
                               "up  ent", "down softkey13"};
    for (const std::string &m : bad)
        EXPECT_FALSE(parse_key_message(m.data(), m.size()).valid) << m;
    EXPECT_TRUE(parse_key_message("down ent", 8).down);
}

TEST(request_rules, presses_beyond_twenty_a_second_are_refused_until_the_second_is_over)
{
    press_limiter limiter(20);
    int allowed = 0;
    for (int i = 0; i < 30; ++i)
        allowed += limiter.allow(1000000 + static_cast<std::uint64_t>(i) * 10000) ? 1 : 0;
    EXPECT_EQ(allowed, 20);
    EXPECT_TRUE(limiter.allow(2000000));
}

class remote_settings_file : public ::testing::Test {
protected:
    temp_dir tmp;
    std::string folder = native_path(tmp / "settings");
    std::string file = folder + "/remote.cfg";
    void SetUp() override { std::filesystem::create_directory(folder); }
};

TEST_F(remote_settings_file, out_of_range_values_are_clamped_and_logged_and_comments_kept)
{
    write_file(file, "# mine\nfps = 99\nquality = 5\nport = 0\nmax_viewers = 3\n");
    log_capture logs;
    const settings s = load_settings(folder.c_str());
    EXPECT_EQ(s.fps, 30);
    EXPECT_EQ(s.quality, 30);
    EXPECT_EQ(s.port, 1);
    EXPECT_EQ(s.max_viewers, 3);
    EXPECT_FALSE(s.enabled);
    EXPECT_EQ(logs.messages().size(), 3u);
    const std::string text = read_file(file);
    EXPECT_NE(text.find("# mine"), std::string::npos);
    EXPECT_NE(text.find("fps = 30"), std::string::npos);
    EXPECT_EQ(text.find("token"), text.rfind("token")) << "no token entry for a loopback address";
}

TEST_F(remote_settings_file, a_lan_address_gets_a_token_once_and_keeps_it)
{
    write_file(file, "address = 192.168.1.20\n");
    const settings first = load_settings(folder.c_str());
    EXPECT_EQ(first.token.size(), 32u);
    save_enabled(folder.c_str(), true);
    const settings again = load_settings(folder.c_str());
    EXPECT_EQ(again.token, first.token);
    EXPECT_TRUE(again.enabled);
    EXPECT_EQ(again.port, default_port);
}

// A server on loopback with a token required, as on a LAN address.
class remote_server : public ::testing::Test {
protected:
    temp_dir tmp;
    frame_hub hub;
    key_runner keys;
    int port = free_port();
    std::unique_ptr<web_server> server;

    void start(int max_viewers = 2)
    {
        write_file(tmp / "index.html", "<html>list</html>");
        write_file(tmp / "viewer.html", "<script>const config = {{CONFIG}};</script>");
        server_options o;
        o.port = port;
        o.max_viewers = max_viewers;
        o.token = "secret";
        o.pages = native_path(tmp.path());
        server = std::make_unique<web_server>(hub, keys, o);
        ASSERT_EQ(server->start(), start_result::ok);
    }
    void TearDown() override
    {
        hub.close();
        if (server)
            server->stop();
    }
    // Publishes a frame as soon as the display is wanted, as the encoder would.
    std::thread publisher(display_id d)
    {
        return std::thread([this, d] {
            for (int i = 0; i < 300 && !hub.wanted(d); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            jpeg_frame f;
            f.bytes = {0xff, 0xd8, 0xff, 0xd9};
            hub.publish(d, f);
        });
    }
};

TEST_F(remote_server, requests_without_the_token_get_403_and_unknown_paths_404)
{
    start();
    struct {
        const char *path;
        int status;
    } cases[] = {{"/", 403},
                 {"/pfd?token=wrong", 403},
                 {"/?token=secret", 200},
                 {"/mfd?token=secret", 200},
                 {"/nothing?token=secret", 404},
                 {"/index.html?token=secret", 404}};
    for (const auto &c : cases)
        EXPECT_EQ(http_get(port, c.path).status, c.status) << c.path;
    EXPECT_NE(http_get(port, "/pfd2?token=secret").body.find("\"display\":\"pfd2\""), std::string::npos);
}

TEST_F(remote_server, a_single_picture_is_the_next_frame_read_back_or_503_within_a_second)
{
    start();
    std::thread p = publisher(display_id::mfd);
    const http_reply got = http_get(port, "/mfd.jpg?token=secret");
    p.join();
    EXPECT_EQ(got.status, 200);
    EXPECT_EQ(got.body, std::string("\xff\xd8\xff\xd9"));

    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(http_get(port, "/pfd.jpg?token=secret").status, 503);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1500));
}

TEST_F(remote_server, viewers_get_frames_and_the_one_over_the_limit_or_from_a_foreign_page_is_refused)
{
    start(2);
    ws_viewer a(port, "display=pfd&token=secret");
    ws_viewer b(port, "display=pfd&token=secret");
    ASSERT_TRUE(a.connected() && b.connected());
    EXPECT_EQ(refused_upgrade(port, "display=pfd&token=secret", ""), 503);
    EXPECT_EQ(refused_upgrade(port, "display=pfd", ""), 403);

    for (int i = 0; i < 300 && hub.viewers(display_id::pfd) < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::thread p = publisher(display_id::pfd);
    p.join();
    for (int i = 0; i < 300 && (a.frames() == 0 || b.frames() == 0); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(a.frames(), 1);
    EXPECT_EQ(b.last_frame().size(), 4u);
}

TEST_F(remote_server, an_upgrade_from_a_foreign_page_is_refused)
{
    start();
    EXPECT_EQ(refused_upgrade(port, "display=pfd&token=secret", "http://evil.example"), 403);
    ws_viewer own(port, "display=pfd&token=secret");
    EXPECT_TRUE(own.connected());
}

TEST_F(remote_server, a_client_sending_binary_garbage_is_dropped_and_the_others_stay)
{
    start();
    ws_viewer rude(port, "display=mfd&token=secret");
    ws_viewer calm(port, "display=mfd&token=secret");
    ASSERT_TRUE(rude.connected() && calm.connected());
    log_capture logs;
    calm.send("down nothing");
    calm.send("down nothing");
    // Binary bytes, which a viewer page never sends.
    rude.send(std::string("\x01\x02", 2), true);
    for (int i = 0; i < 300 && !rude.closed(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(rude.closed());
    EXPECT_FALSE(calm.closed());
    EXPECT_EQ(server->viewers(), 1);
    EXPECT_EQ(logs.messages().size(), 1u) << "a refused key name is logged once per viewer";
}

TEST_F(remote_server, a_viewer_that_stops_reading_is_dropped_while_the_others_keep_getting_frames)
{
    start();
    ws_viewer calm(port, "display=pfd&token=secret");
    mg_connection *stalled = silent_viewer(port, "display=pfd&token=secret");
    ASSERT_TRUE(calm.connected() && stalled != nullptr);
    for (int i = 0; i < 300 && hub.viewers(display_id::pfd) < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    // Large pictures at 50 a second, until the stalled viewer's socket
    // buffers are full and it is gone.
    jpeg_frame big;
    big.bytes.assign(128 * 1024, 0x55);
    int published = 0;
    for (; published < 1000 && server->viewers() > 1; ++published) {
        hub.publish(display_id::pfd, big);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_FALSE(calm.closed()) << "the reading viewer stays";
    const int before = calm.frames();
    for (int i = 0; i < 20; ++i) {
        hub.publish(display_id::pfd, big);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (int i = 0; i < 300 && calm.frames() == before; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    mg_close_connection(stalled);

    EXPECT_EQ(server->viewers(), 1) << "dropped after " << published << " frames";
    EXPECT_GT(calm.frames(), before) << "the reading viewer still gets frames";
}

} // namespace
