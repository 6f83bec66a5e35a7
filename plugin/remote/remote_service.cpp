#include "remote/remote_service.h"

#include <memory>
#include <string>

#include "XPLMProcessing.h"
#include "XPLMUtilities.h"

#include <acfutils/helpers.h>
#include <acfutils/log.h>

#include "remote/key_runner.h"
#include "remote/picture_feed.h"
#include "remote/remote_settings.h"
#include "remote/web_server.h"

namespace remote {

namespace {

constexpr const char *toggle_name = "kyv/popup/remote_displays";

struct running {
    frame_hub hub;
    key_runner keys;
    std::unique_ptr<web_server> server;
};

std::string folder;
std::unique_ptr<running> live;
std::string menu_text = "Remote Displays: Off";
XPLMMenuID menu = nullptr;
int menu_item = -1;
XPLMCommandRef toggle = nullptr;

float run_keys(float, float, int, void *)
{
    if (live)
        live->keys.run();
    return -1.0f;
}

void show(const std::string &text)
{
    menu_text = text;
    // Without a rename among the imports the item is replaced in place; it
    // is the menu's last.
    if (menu != nullptr && menu_item >= 0) {
        XPLMRemoveMenuItem(menu, menu_item);
        menu_item = XPLMAppendMenuItemWithCommand(menu, menu_text.c_str(), toggle);
    }
}

void start_server()
{
    const settings s = load_settings((folder + "/settings").c_str());
    if (!s.enabled) {
        show("Remote Displays: Off");
        return;
    }
    live = std::make_unique<running>();
    live->keys.look_up();
    server_options o;
    o.address = s.address;
    o.port = s.port;
    o.max_viewers = s.max_viewers;
    o.token = is_loopback(s.address) ? std::string() : s.token;
    o.pages = folder + "/resources/remote";
    live->server = std::make_unique<web_server>(live->hub, live->keys, o);
    const std::string port = std::to_string(s.port);
    switch (live->server->start()) {
    case start_result::ok: {
        const bool v6 = s.address.find(':') != std::string::npos;
        std::string url = "http://" + (v6 ? "[" + s.address + "]" : s.address) + ":" + port + "/";
        if (!o.token.empty())
            url += "?token=" + o.token;
        logMsg("Remote displays: serving %s", url.c_str());
        XPLMRegisterFlightLoopCallback(run_keys, -1.0f, nullptr);
        picture_feed_start(live->hub, s.fps, s.quality);
        show("Remote Displays: " + url);
        return;
    }
    case start_result::port_in_use:
        show("Remote Displays: port " + port + " is in use");
        break;
    case start_result::address_not_here:
        show("Remote Displays: " + s.address + " is not this computer's");
        break;
    default:
        show("Remote Displays: failed, see the log");
        break;
    }
    live.reset();
}

void stop_server()
{
    if (!live)
        return;
    XPLMUnregisterFlightLoopCallback(run_keys, nullptr);
    // Its worker publishes into the hub: it goes first.
    picture_feed_stop();
    live->hub.close();
    live->server->stop();
    live.reset();
    logMsg("Remote displays: stopped");
}

int toggle_cb(XPLMCommandRef, XPLMCommandPhase phase, void *)
{
    if (phase != xplm_CommandBegin)
        return 1;
    const bool on = !live;
    save_enabled((folder + "/settings").c_str(), on);
    stop_server();
    if (on)
        start_server();
    else
        show("Remote Displays: Off");
    return 1;
}

} // namespace

void service_enable(const char *plugin_folder)
{
    folder = plugin_folder != nullptr ? plugin_folder : "";
    if (toggle == nullptr) {
        toggle = XPLMCreateCommand(toggle_name, "Turns the remote displays server on or off");
        XPLMRegisterCommandHandler(toggle, toggle_cb, 1, nullptr);
    }
    if (!folder.empty())
        start_server();
}

void service_disable()
{
    stop_server();
    if (toggle != nullptr)
        XPLMUnregisterCommandHandler(toggle, toggle_cb, 1, nullptr);
    toggle = nullptr;
    menu = nullptr;
    menu_item = -1;
}

void service_add_menu_item(XPLMMenuID m)
{
    menu = m;
    menu_item = XPLMAppendMenuItemWithCommand(menu, menu_text.c_str(), toggle);
}

const char *service_menu_text()
{
    return menu_text.c_str();
}

frame_hub *service_hub()
{
    return live ? &live->hub : nullptr;
}

} // namespace remote
