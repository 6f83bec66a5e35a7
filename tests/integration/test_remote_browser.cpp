// A real browser on the remote displays' viewer: headless Chromium opens
// /pfd from a live simulator host, and its screenshot must show the PFD's
// picture from the panel.

#include <gtest/gtest.h>

#include <cairo.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "render/panel_faces.h"
#include "temp_dir.h"
#include "web_client.h"

extern char **environ;

namespace {

namespace fs = std::filesystem;

// The PFD's rectangle on the default panel, and the browser's window, 4:3.
constexpr int face_w = 1024, face_h = 768;

// The host running live in a process of its own, stopped as a pilot would.
class live_host {
public:
    live_host(const std::string &plugin, const std::string &out, const std::string &log)
    {
        const std::string exe = HEADLESS_SIM_EXE;
        std::vector<std::string> args = {exe,       "--plugin", plugin, "--live", "--fps", "20",
                                         "--quiet", "--out",    out,    "--log",  log};
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
    }
    ~live_host() { stop(); }
    live_host(const live_host &) = delete;
    live_host &operator=(const live_host &) = delete;

    // The host's exit status after SIGTERM, -1 if it did not exit by itself.
    int stop()
    {
        if (pid_ <= 0)
            return -1;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
};

bool wait_for_text(const std::string &file, const std::string &text, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (read_file(file).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

using surface_ptr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

// The PFD's face as the panel draws it at `sim_time`, top row first.
surface_ptr pfd_face(double sim_time)
{
    surface_ptr s(cairo_image_surface_create(CAIRO_FORMAT_RGB24, face_w, face_h), cairo_surface_destroy);
    cairo_t *cr = cairo_create(s.get());
    simhost::detail::draw_face_static(cr, simhost::detail::face_kind::pfd, "PFD", face_w, face_h);
    simhost::detail::draw_face_live(cr, simhost::detail::face_kind::pfd, sim_time, 0, face_w, face_h);
    cairo_destroy(cr);
    cairo_surface_flush(s.get());
    return s;
}

uint32_t at(cairo_surface_t *s, int x, int y)
{
    const unsigned char *row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t *>(row)[x] & 0xffffff;
}

int channel_difference(uint32_t a, uint32_t b)
{
    int most = 0;
    for (int shift = 0; shift < 24; shift += 8)
        most = std::max(most, std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)));
    return most;
}

} // namespace

TEST(remote_browser, headless_chromium_paints_the_pfds_panel_picture_from_a_live_host)
{
    ASSERT_TRUE(fs::exists("/usr/bin/chromium")) << "scripts/setup.sh installs Debian's chromium";
    temp_dir tmp;
    const std::string plugin = tmp / "kyv_pop";
    fs::copy(KYV_PLUGIN_DIR, plugin, fs::copy_options::recursive);
    const int port = free_port();
    write_file(plugin + "/settings/remote.cfg", "enabled = 1\nport = " + std::to_string(port) + "\n");

    live_host host(plugin, tmp.path(), tmp / "Log.txt");
    ASSERT_TRUE(wait_for_text(tmp / "Log.txt", "Remote displays: serving", std::chrono::seconds(30)))
        << read_file(tmp / "Log.txt");
    // The plugin finds its displays some flight loops after the start: the
    // browser comes once the PFD has a picture to show.
    bool pictures = false;
    for (int i = 0; i < 30 && !pictures; i++)
        pictures = http_get(port, "/pfd.jpg").status == 200;
    ASSERT_TRUE(pictures) << read_file(tmp / "Log.txt");

    // Chromium takes its screenshot once the page has loaded, which takes its
    // first picture; the frames that follow replace it.
    const std::string shot = tmp / "pfd.png";
    const std::string cmd =
        "timeout 60 /usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic "
        "--no-first-run --disable-background-networking --disable-component-update "
        "--disable-sync --hide-scrollbars --user-data-dir=" +
        (tmp / "profile") + " --window-size=" + std::to_string(face_w) + "," + std::to_string(face_h) +
        " --screenshot=" + shot + " http://127.0.0.1:" + std::to_string(port) + "/pfd >" +
        (tmp / "chromium.txt") + " 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << read_file(tmp / "chromium.txt");
    EXPECT_EQ(host.stop(), 0);

    surface_ptr page(cairo_image_surface_create_from_png(shot.c_str()), cairo_surface_destroy);
    ASSERT_EQ(cairo_surface_status(page.get()), CAIRO_STATUS_SUCCESS) << read_file(tmp / "chromium.txt");
    ASSERT_EQ(cairo_image_surface_get_width(page.get()), face_w);
    ASSERT_EQ(cairo_image_surface_get_height(page.get()), face_h);

    // The instruments move and the clock line changes: only the pixels the
    // face shows alike at any time are compared, and of those only the ones
    // in flat areas, where JPEG's loss is small.
    std::vector<surface_ptr> faces;
    for (double t = 0; t < 120; t += 7.3)
        faces.push_back(pfd_face(t));
    const surface_ptr &face = faces.front();
    std::vector<uint8_t> flat(face_w * face_h, 0);
    for (int y = 0; y + 1 < face_h; y++)
        for (int x = 0; x + 1 < face_w; x++) {
            const uint32_t c = at(face.get(), x, y);
            bool same = at(face.get(), x + 1, y) == c && at(face.get(), x, y + 1) == c;
            for (const surface_ptr &f : faces)
                same = same && at(f.get(), x, y) == c;
            flat[y * face_w + x] = same;
        }
    // Only what lies 3 pixels or more inside a flat area, beyond JPEG's ringing.
    constexpr int inside = 3;
    for (int pass = 0; pass < 2; pass++) {
        const int step = pass == 0 ? 1 : face_w;
        const std::vector<uint8_t> before = flat;
        for (int i = 0; i < face_w * face_h; i++)
            for (int d = -inside; d <= inside && flat[i]; d++) {
                const int j = i + d * step;
                flat[i] = j >= 0 && j < face_w * face_h && before[j];
            }
    }
    long still = 0, differ = 0, marker = 0;
    for (int y = 0; y < face_h; y++)
        for (int x = 0; x < face_w; x++) {
            if (!flat[y * face_w + x])
                continue;
            still++;
            const uint32_t want = at(face.get(), x, y), got = at(page.get(), x, y);
            differ += channel_difference(got, want) > 8;
            marker += x < 24 && y < 24 && channel_difference(got, 0xff00ff) <= 8;
        }
    ASSERT_GT(still, face_w * face_h / 2) << "most of the face stays still";
    EXPECT_LT(static_cast<double>(differ) / still, 0.02) << differ << " of " << still << " pixels differ";
    EXPECT_GT(marker, 12 * 12) << "the magenta mark, top-left: the picture is upright and in place";
}
