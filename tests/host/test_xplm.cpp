// The XPLM surface as a whole: datarefs, calls made with handles the host never
// gave out, calls with no host, and the exports a plugin resolves against.

#include "XPLMDataAccess.h"
#include "XPLMDisplay.h"
#include "XPLMGraphics.h"
#include "XPLMMenus.h"
#include "XPLMPlanes.h"
#include "XPLMPlugin.h"
#include "XPLMProcessing.h"
#include "XPLMUtilities.h"
#include "host.h"
#include "temp_dir.h"
#include "api/xplm_exports.h"

#include <gmock/gmock.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstring>
#include <filesystem>
#include <functional>
#include <set>

using ::testing::ElementsAre;

namespace {

// What a plugin's import of `name` binds to: on Windows XPLM_64.dll's export,
// elsewhere the symbol the process exports.
void *exported_function(const char *name)
{
#ifdef _WIN32
    return reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"XPLM_64.dll"), name));
#else
    return dlsym(RTLD_DEFAULT, name);
#endif
}

TEST(datarefs, the_host_knows_the_panel_render_type_and_vr_state_by_default)
{
    simhost::host h;
    XPLMDataRef panel = XPLMFindDataRef("sim/graphics/view/panel_render_type");
    XPLMDataRef vr = XPLMFindDataRef("sim/graphics/VR/enabled");
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(vr, nullptr);
    EXPECT_NE(panel, vr);
    EXPECT_EQ(XPLMGetDatai(panel), 2);
    EXPECT_EQ(XPLMGetDatai(vr), 0);
}

TEST(datarefs, unknown_names_find_nothing_and_a_null_handle_reads_0)
{
    simhost::host h;
    for (const char *name : {"sim/no/such/ref", "", "sim/graphics/VR/enabled/", "SIM/GRAPHICS/VR/ENABLED"})
        EXPECT_EQ(XPLMFindDataRef(name), nullptr) << name;
    EXPECT_EQ(XPLMFindDataRef(nullptr), nullptr);
    EXPECT_EQ(XPLMGetDatai(nullptr), 0);
    EXPECT_TRUE(h.unexpected_calls().empty());
}

TEST(datarefs, a_set_value_is_read_through_a_handle_that_stays_the_same)
{
    simhost::host h;
    h.set_int_dataref("test/value", 5);
    XPLMDataRef ref = XPLMFindDataRef("test/value");
    ASSERT_NE(ref, nullptr);
    EXPECT_EQ(XPLMGetDatai(ref), 5);
    h.set_int_dataref("test/value", -7);
    h.set_int_dataref("test/another", 1);
    EXPECT_EQ(XPLMFindDataRef("test/value"), ref);
    EXPECT_EQ(XPLMGetDatai(ref), -7);
    h.set_int_dataref("sim/graphics/VR/enabled", 1);
    EXPECT_EQ(XPLMGetDatai(XPLMFindDataRef("sim/graphics/VR/enabled")), 1);
}

TEST(datarefs, a_handle_the_host_did_not_give_out_reads_0_and_is_noted)
{
    simhost::host h;
    int not_a_dataref = 5;
    EXPECT_EQ(XPLMGetDatai(&not_a_dataref), 0);
    EXPECT_THAT(h.unexpected_calls(), ElementsAre("XPLMGetDatai"));
}

struct stub_call {
    const char *name;
    std::function<void()> call;
};

int outputs[4];

void fill_outputs()
{
    for (int &o : outputs)
        o = 99;
}

bool outputs_zeroed(int n)
{
    for (int i = 0; i < n; i++) {
        if (outputs[i] != 0)
            return false;
    }
    return true;
}

// Calls with a handle the host never gave out, or nothing to work with.
const std::vector<stub_call> &misuses()
{
    static int not_a_handle = 0;
    static const std::vector<stub_call> all = {
        {"XPLMCommandBegin", [] { XPLMCommandBegin(nullptr); }},
        {"XPLMCommandEnd", [] { XPLMCommandEnd(&not_a_handle); }},
        {"XPLMCommandOnce", [] { XPLMCommandOnce(nullptr); }},
        {"XPLMRegisterCommandHandler", [] { XPLMRegisterCommandHandler(nullptr, nullptr, 1, nullptr); }},
        {"XPLMUnregisterCommandHandler", [] { XPLMUnregisterCommandHandler(nullptr, nullptr, 1, nullptr); }},
        {"XPLMCreateCommand", [] { EXPECT_EQ(XPLMCreateCommand("", "c"), nullptr); }},
        {"XPLMCreateMenu",
         [] { EXPECT_EQ(XPLMCreateMenu("m", &not_a_handle, 0, nullptr, nullptr), nullptr); }},
        {"XPLMDestroyMenu", [] { XPLMDestroyMenu(nullptr); }},
        {"XPLMAppendMenuItem", [] { EXPECT_EQ(XPLMAppendMenuItem(nullptr, "i", nullptr, 0), -1); }},
        {"XPLMAppendMenuItemWithCommand",
         [] { EXPECT_EQ(XPLMAppendMenuItemWithCommand(XPLMFindPluginsMenu(), "i", nullptr), -1); }},
        {"XPLMRemoveMenuItem", [] { XPLMRemoveMenuItem(nullptr, 0); }},
        {"XPLMCreateWindowEx",
         [] {
             XPLMCreateWindow_t params{};
             params.structSize = 4;
             EXPECT_EQ(XPLMCreateWindowEx(&params), nullptr);
         }},
        {"XPLMDestroyWindow", [] { XPLMDestroyWindow(nullptr); }},
        {"XPLMGetAllMonitorBoundsGlobal", [] { XPLMGetAllMonitorBoundsGlobal(nullptr, nullptr); }},
        {"XPLMGetAllMonitorBoundsOS", [] { XPLMGetAllMonitorBoundsOS(nullptr, nullptr); }},
        {"XPLMGetWindowGeometry",
         [] {
             XPLMGetWindowGeometry(nullptr, &outputs[0], nullptr, &outputs[2], nullptr);
             EXPECT_EQ(outputs[0], 0);
             EXPECT_EQ(outputs[2], 0);
         }},
        {"XPLMSetWindowGeometry", [] { XPLMSetWindowGeometry(&not_a_handle, 0, 10, 10, 0); }},
        {"XPLMGetWindowGeometryOS",
         [] {
             XPLMGetWindowGeometryOS(nullptr, &outputs[0], &outputs[1], &outputs[2], &outputs[3]);
             EXPECT_TRUE(outputs_zeroed(4));
         }},
        {"XPLMSetWindowGeometryOS", [] { XPLMSetWindowGeometryOS(nullptr, 0, 10, 10, 0); }},
        {"XPLMGetWindowIsVisible", [] { EXPECT_EQ(XPLMGetWindowIsVisible(nullptr), 0); }},
        {"XPLMSetWindowIsVisible", [] { XPLMSetWindowIsVisible(nullptr, 1); }},
        {"XPLMWindowIsPoppedOut", [] { EXPECT_EQ(XPLMWindowIsPoppedOut(nullptr), 0); }},
        {"XPLMWindowIsInVR", [] { EXPECT_EQ(XPLMWindowIsInVR(&not_a_handle), 0); }},
        {"XPLMSetWindowPositioningMode",
         [] { XPLMSetWindowPositioningMode(nullptr, xplm_WindowPopOut, -1); }},
        {"XPLMSetWindowTitle", [] { XPLMSetWindowTitle(nullptr, "t"); }},
        {"XPLMSetWindowResizingLimits", [] { XPLMSetWindowResizingLimits(nullptr, 1, 1, 2, 2); }},
        {"XPLMGetDatavi", [] { EXPECT_EQ(XPLMGetDatavi(&not_a_handle, outputs, 0, 4), 0); }},
        {"XPLMRegisterAvionicsCallbacksEx",
         [] {
             XPLMCustomizeAvionics_t params{};
             params.structSize = 40; // neither the 4.0 layout's size nor the 4.1 one's
             params.deviceId = xplm_device_G1000_MFD;
             EXPECT_EQ(XPLMRegisterAvionicsCallbacksEx(&params), nullptr);
         }},
        {"XPLMUnregisterAvionicsCallbacks", [] { XPLMUnregisterAvionicsCallbacks(&not_a_handle); }},
        {"XPLMGetAvionicsHandle", [] { EXPECT_EQ(XPLMGetAvionicsHandle(0), nullptr); }},
        {"XPLMIsAvionicsBound", [] { EXPECT_EQ(XPLMIsAvionicsBound(&not_a_handle), 0); }},
        {"XPLMGetAvionicsBusVoltsRatio", [] { EXPECT_EQ(XPLMGetAvionicsBusVoltsRatio(nullptr), -1.0f); }},
    };
    return all;
}

void PrintTo(const stub_call &c, std::ostream *os)
{
    *os << c.name;
}

class misused_call : public ::testing::TestWithParam<stub_call> {};

TEST_P(misused_call, is_recorded_noted_once_and_answers_neutrally)
{
    simhost::host h;
    fill_outputs();
    GetParam().call();
    fill_outputs();
    GetParam().call();
    EXPECT_THAT(h.unexpected_calls(), ElementsAre(GetParam().name));
    EXPECT_EQ(h.unexpected_call_count(GetParam().name), 2u);
    EXPECT_THAT(h.host_messages(), ElementsAre(::testing::StartsWith(
                                       std::string("simhost: unexpected XPLM call ") + GetParam().name)));
}

TEST_P(misused_call, is_harmless_with_no_host)
{
    fill_outputs();
    GetParam().call();
}

INSTANTIATE_TEST_SUITE_P(calls, misused_call, ::testing::ValuesIn(misuses()),
                         [](const ::testing::TestParamInfo<stub_call> &info) {
                             return std::string(info.param.name);
                         });

float no_loop(float, float, int, void *)
{
    return -1;
}

int no_draw(XPLMDrawingPhase, int, void *)
{
    return 1;
}

// The avionics functions: what a handle tells, and which handles are misused.
int count_calls(XPLMDeviceID, int, void *refcon)
{
    ++*static_cast<int *>(refcon);
    return 1;
}

TEST(avionics, a_handle_tells_whether_the_aircraft_uses_its_device_and_dies_with_its_registration)
{
    simhost::host h;
    ASSERT_TRUE(h.load_aircraft({{simhost::host::device::g1000_mfd, 1024, 768, 0.5f}}));
    XPLMAvionicsID mfd = XPLMGetAvionicsHandle(xplm_device_G1000_MFD);
    XPLMAvionicsID pfd = XPLMGetAvionicsHandle(xplm_device_G1000_PFD_1);
    EXPECT_EQ(XPLMIsAvionicsBound(mfd), 1);
    EXPECT_EQ(XPLMGetAvionicsBusVoltsRatio(mfd), 0.5f);
    EXPECT_EQ(XPLMIsAvionicsBound(pfd), 0);
    EXPECT_EQ(XPLMGetAvionicsBusVoltsRatio(pfd), -1.0f) << "not bound";

    int calls = 0;
    // The 4.0 layout: no mouse or key callbacks, the reference right after the draw callbacks.
    struct {
        int structSize;
        XPLMDeviceID deviceId;
        XPLMAvionicsCallback_f before, after;
        void *refcon;
    } v400{sizeof(v400), xplm_device_G1000_MFD, nullptr, count_calls, &calls};
    XPLMAvionicsID reg = XPLMRegisterAvionicsCallbacksEx(reinterpret_cast<XPLMCustomizeAvionics_t *>(&v400));
    ASSERT_NE(reg, nullptr);
    EXPECT_EQ(XPLMIsAvionicsBound(reg), 1);
    EXPECT_EQ(h.avionics_registration_count(), 1u);
    EXPECT_TRUE(h.unexpected_calls().empty());

    XPLMUnregisterAvionicsCallbacks(mfd);
    EXPECT_THAT(h.unexpected_calls(), ElementsAre("XPLMUnregisterAvionicsCallbacks")) << "registers nothing";
    XPLMUnregisterAvionicsCallbacks(reg);
    EXPECT_EQ(h.avionics_registration_count(), 0u);
    EXPECT_EQ(XPLMIsAvionicsBound(reg), 0);
    XPLMUnregisterAvionicsCallbacks(reg);
    EXPECT_THAT(h.unexpected_calls(), ElementsAre("XPLMUnregisterAvionicsCallbacks", "XPLMIsAvionicsBound"));
    EXPECT_EQ(h.unexpected_call_count("XPLMUnregisterAvionicsCallbacks"), 2u);
}

// The user's aircraft as XPLMGetNthAircraftModel hands it out, into buffers
// of the documented sizes with room past them to see that nothing is written there.
struct acf_names {
    char file[300], path[600];
    explicit acf_names(int index)
    {
        memset(file, 'x', sizeof(file));
        memset(path, 'x', sizeof(path));
        XPLMGetNthAircraftModel(index, file, path);
    }
};

#ifdef _WIN32
const std::string sim_folder = "C:\\X-Plane ", aircraft_folder = "\\Aircraft\\", sep = "\\";
#else
const std::string sim_folder = "/X-Plane ", aircraft_folder = "/Aircraft/", sep = "/";
#endif

TEST(aircraft_model, index_0_is_the_users_acf_file_and_its_path_and_no_other_aircraft_exists)
{
    simhost::host h;
    const acf_names user(0);
    EXPECT_STREQ(user.file, "Cessna_172SP.acf");
    EXPECT_EQ(user.path, sim_folder + "12" + aircraft_folder + "Cessna_172SP" + sep + "Cessna_172SP.acf");
    for (int other : {1, -1, 19}) {
        const acf_names none(other);
        EXPECT_STREQ(none.file, "") << other;
        EXPECT_STREQ(none.path, "") << other;
    }
    h.set_sim_version(simhost::sim_version::xp11);
    EXPECT_EQ(acf_names(0).path,
              sim_folder + "11" + aircraft_folder + "Cessna_172SP" + sep + "Cessna_172SP.acf");

    // Names at their limits come whole; a default path with no room for a
    // folder of the file's name has none.
    simhost::aircraft_model m;
    m.file = std::string(251, 'f') + ".acf";
    ASSERT_TRUE(h.load_aircraft(m, {})) << h.error();
    const acf_names longest_file(0);
    EXPECT_EQ(longest_file.file, m.file);
    EXPECT_EQ(longest_file.file[256], 'x');
    EXPECT_EQ(longest_file.path, sim_folder + "11" + aircraft_folder + m.file);
    m.path = "/" + std::string(510, 'p');
    ASSERT_TRUE(h.load_aircraft(m, {})) << h.error();
    const acf_names longest_path(0);
    EXPECT_EQ(longest_path.path, m.path);
    EXPECT_EQ(longest_path.path[512], 'x');
    EXPECT_EQ(h.current_aircraft_model().path, m.path);
    EXPECT_TRUE(h.unexpected_calls().empty());
}

TEST(aircraft_model, with_no_host_names_nothing)
{
    const acf_names user(0);
    EXPECT_STREQ(user.file, "");
    EXPECT_STREQ(user.path, "");
}

struct refused_model {
    const char *name;
    void (*spoil)(simhost::aircraft_model &, simhost::aircraft &);
    const char *says;
};

void PrintTo(const refused_model &c, std::ostream *os)
{
    *os << c.name;
}

class refused_aircraft : public ::testing::TestWithParam<refused_model> {};

TEST_P(refused_aircraft, is_not_loaded_and_says_why)
{
    simhost::host h;
    simhost::aircraft_model m;
    m.file = "Baron_58.acf";
    ASSERT_TRUE(h.load_aircraft(m, {}));
    simhost::aircraft devices;
    GetParam().spoil(m, devices);
    EXPECT_FALSE(h.load_aircraft(m, devices));
    EXPECT_THAT(h.error(), ::testing::HasSubstr(GetParam().says));
    EXPECT_EQ(h.current_aircraft_model().file, "Baron_58.acf");
    EXPECT_EQ(h.current_aircraft_model().panel_width, 3072);
}

using dev = simhost::host::device;

INSTANTIATE_TEST_SUITE_P(
    models, refused_aircraft,
    ::testing::Values(
        refused_model{"panel_below_64", [](auto &m, auto &) { m.panel_width = 63; },
                      "63 x 2868 is not within 64"},
        refused_model{"panel_above_4096", [](auto &m, auto &) { m.panel_height = 4097; }, "4097"},
        refused_model{"face_past_the_right", [](auto &m, auto &) { m.faces[2].w = 1025; },
                      "the PFD2 at 2048,0 of 1025 x 768 is not a rectangle inside the panel of 3072 x 2868"},
        refused_model{"face_below_the_panel", [](auto &m, auto &) { m.faces[1].y = -1; },
                      "the MFD at 1024,-1"},
        refused_model{"face_of_no_height", [](auto &m, auto &) { m.faces[0].h = 0; },
                      "the PFD at 0,2100 of 1024 x 0"},
        refused_model{"face_far_out", [](auto &m, auto &) { m.faces[0].x = 2147483000; }, "the PFD"},
        refused_model{"file_of_256_bytes", [](auto &m, auto &) { m.file = std::string(252, 'f') + ".acf"; },
                      "file name of 256 bytes"},
        refused_model{"no_file", [](auto &m, auto &) { m.file.clear(); }, "no .acf file name"},
        refused_model{"path_of_512_bytes", [](auto &m, auto &) { m.path = std::string(512, 'p'); },
                      "path of 512 bytes"},
        refused_model{"device_named_twice",
                      [](auto &, auto &d) {
                          d = {{dev::g1000_mfd}, {dev::g1000_mfd}};
                      },
                      "names the"}),
    [](const auto &info) { return std::string(info.param.name); });

struct version_case {
    simhost::host::sim_version version;
    int xplane, xplm;
    bool avionics;
};

class versions : public ::testing::TestWithParam<version_case> {};

TEST_P(versions, report_their_numbers_and_find_the_avionics_functions_only_from_x_plane_12)
{
    simhost::host h;
    h.set_sim_version(GetParam().version);
    int xplane = 0, xplm = 0;
    XPLMHostApplicationID app = 0;
    XPLMGetVersions(&xplane, &xplm, &app);
    EXPECT_EQ(xplane, GetParam().xplane);
    EXPECT_EQ(xplm, GetParam().xplm);
    EXPECT_EQ(app, xplm_Host_XPlane);
    EXPECT_EQ(XPLMFindSymbol("XPLMGetDatai"), reinterpret_cast<void *>(&XPLMGetDatai));
    EXPECT_EQ(XPLMFindSymbol("XPLMNoSuchFunction"), nullptr);
    for (const char *f : {"XPLMRegisterAvionicsCallbacksEx", "XPLMUnregisterAvionicsCallbacks",
                          "XPLMGetAvionicsHandle", "XPLMIsAvionicsBound", "XPLMGetAvionicsBusVoltsRatio"})
        EXPECT_EQ(XPLMFindSymbol(f) != nullptr, GetParam().avionics) << f;
    EXPECT_TRUE(h.unexpected_calls().empty());
}

INSTANTIATE_TEST_SUITE_P(simulators, versions,
                         ::testing::Values(version_case{simhost::host::sim_version::xp12_1, 12100, 410, true},
                                           version_case{simhost::host::sim_version::xp11, 11550, 303, false}),
                         [](const ::testing::TestParamInfo<version_case> &info) {
                             return info.param.avionics ? std::string("x_plane_12_1")
                                                        : std::string("x_plane_11");
                         });

TEST(no_host, implemented_calls_answer_neutrally)
{
    XPLMDebugString("nobody listens\n");
    EXPECT_EQ(XPLMGetMyID(), XPLM_NO_PLUGIN_ID);
    EXPECT_EQ(XPLMFindPluginBySignature("simhost.test.plugin"), XPLM_NO_PLUGIN_ID);
    char name[256] = "x";
    XPLMGetPluginInfo(1, name, nullptr, nullptr, nullptr);
    EXPECT_STREQ(name, "");
    XPLMEnableFeature("XPLM_USE_NATIVE_PATHS", 1);
    EXPECT_EQ(XPLMFindDataRef("sim/graphics/VR/enabled"), nullptr);
    XPLMRegisterFlightLoopCallback(no_loop, -1, nullptr);
    XPLMUnregisterFlightLoopCallback(no_loop, nullptr);
    EXPECT_EQ(XPLMCreateCommand("a/b", "c"), nullptr);
    EXPECT_EQ(XPLMFindPluginsMenu(), nullptr);
    int w = 7, hgt = 7;
    XPLMGetScreenSize(&w, &hgt);
    EXPECT_EQ(w + hgt, 0);
    EXPECT_EQ(XPLMRegisterDrawCallback(no_draw, xplm_Phase_Window, 0, nullptr), 0);
    EXPECT_EQ(XPLMUnregisterDrawCallback(no_draw, xplm_Phase_Window, 0, nullptr), 0);
    // A host made later starts empty.
    simhost::host h;
    EXPECT_EQ(h.flight_loop_count(), 0u);
    EXPECT_TRUE(h.debug_strings().empty());
    EXPECT_FALSE(h.feature_enabled("XPLM_USE_NATIVE_PATHS"));
}

// The name before the first parenthesis after each XPLM_API that starts a line.
std::set<std::string> functions_in_headers()
{
    std::set<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(XPLM_HEADER_DIR)) {
        const std::string text = read_file(e.path().u8string());
        for (size_t at = text.find("XPLM_API"); at != std::string::npos; at = text.find("XPLM_API", at + 1)) {
            size_t paren = text.find('(', at);
            bool declaration = at == 0 || text[at - 1] == '\n'; // not the #define
            if (paren == std::string::npos || !declaration)
                continue;
            size_t end = text.find_last_not_of(" \t\n", paren - 1) + 1;
            size_t begin = text.find_last_of(" \t\n*", end - 1) + 1;
            names.insert(text.substr(begin, end - begin));
        }
    }
    return names;
}

TEST(exports, every_function_of_the_interface_headers_is_defined_and_exported)
{
    size_t n = 0;
    const simhost::xplm_function *table = simhost::xplm_functions(n);
    std::set<std::string> defined;
    for (size_t i = 0; i < n; i++) {
        defined.insert(table[i].name);
        // What a plugin's unresolved symbol binds to must be this very function.
        EXPECT_EQ(exported_function(table[i].name), reinterpret_cast<void *>(table[i].address))
            << table[i].name;
    }
    std::set<std::string> declared = functions_in_headers();
    EXPECT_GT(declared.size(), 40u);
    EXPECT_EQ(defined, declared);
}

} // namespace
