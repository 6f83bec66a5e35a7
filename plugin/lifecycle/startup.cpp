#include "lifecycle/startup.h"

#include <cstdint>

#include "XPLMMenus.h"
#include "XPLMUtilities.h"

#include <acfutils/log.h>

#include "pictures/picker/picker_window.h"
#include "remote/remote_service.h"
#include "windows/monitor_assignment.h"
#include "windows/popupSystem.h"
#include "windows/popup_window.h"

namespace {

constexpr int32_t command_lookup_frame = 45;
constexpr int32_t startup_frame = 50;

// 0-50 while the start-up is pending, 51 once it is done.
int32_t frame_count = 0;

XPLMCommandRef pfd_cmd = nullptr;
XPLMCommandRef mfd_cmd = nullptr;
XPLMCommandRef pfd2_cmd = nullptr;
XPLMCommandRef regions_cmd = nullptr;

// The item in the Plugins menu and the menu hanging on it, while they exist.
XPLMMenuID popups_menu = nullptr;
int plugins_item = -1;

void look_up_commands()
{
    pfd_cmd = XPLMFindCommand("kyv/popup/PFD_NOBEZEL");
    mfd_cmd = XPLMFindCommand("kyv/popup/MFD_NOBEZEL");
    pfd2_cmd = XPLMFindCommand("kyv/popup/PFD_2_NOBEZEL");
    regions_cmd = XPLMFindCommand(picker_command_name);
}

void build_menu()
{
    plugins_item = XPLMAppendMenuItem(XPLMFindPluginsMenu(), "KYV Popups", nullptr, 0);
    popups_menu = XPLMCreateMenu("KYV Popups", XPLMFindPluginsMenu(), plugins_item, nullptr, nullptr);
    if (popups_menu == nullptr) {
        logMsg("The KYV Popups menu could not be made; the displays' commands still work");
        return;
    }
    XPLMAppendMenuItemWithCommand(popups_menu, "PFD POPUP", pfd_cmd);
    XPLMAppendMenuItemWithCommand(popups_menu, "MFD POPUP", mfd_cmd);
    XPLMAppendMenuItemWithCommand(popups_menu, "PFD2 POPUP", pfd2_cmd);
    XPLMAppendMenuItemWithCommand(popups_menu, "Display Regions", regions_cmd);
    remote::service_add_menu_item(popups_menu);
}

} // namespace

void startup_reset()
{
    frame_count = 0;
}

float startup_flight_loop(float, float, int, void *)
{
    const int32_t c = frame_count;
    if (c == command_lookup_frame) {
        logMsg("Frame 45 Set Render");
        frame_count = c + 1;
        look_up_commands();
    } else if (c == startup_frame) {
        logMsg("Frame 50 Start Render");
        build_menu();
        assign_monitors();
        open_popups_at_start();
        frame_count = startup_frame + 1;
    } else if (c < startup_frame) {
        frame_count = c + 1;
    }
    return -1.0f;
}

void startup_remove_menu()
{
    if (popups_menu == nullptr && plugins_item < 0)
        return;
    logMsg("Removing KYV Popups Menu");
    if (popups_menu != nullptr)
        XPLMDestroyMenu(popups_menu);
    if (plugins_item >= 0)
        XPLMRemoveMenuItem(XPLMFindPluginsMenu(), plugins_item);
    popups_menu = nullptr;
    plugins_item = -1;
}

void open_popups_at_start()
{
    for (popup *pup : popup_list) {
        if (pup->keys->popup_at_start->get() <= 0)
            continue;
        // Opening only: a window the pilot opened already stays open.
        if (pup->win != nullptr && XPLMGetWindowIsVisible(pup->win))
            continue;
        popup_toggle(nullptr, xplm_CommandEnd, pup);
    }
}
