#ifndef _XPLMDefs_h_
#define _XPLMDefs_h_

/*
 * Base definitions of the simulator's plugin interface: export macros, plugin
 * ids, key flags and the mouse and cursor enumerations.
 */

#ifdef __cplusplus
extern "C" {
#endif

#if IBM
#include <windows.h>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
#if APL || LIN
#define PLUGIN_API extern "C" __attribute__((visibility("default")))
#elif IBM
#define PLUGIN_API extern "C" __declspec(dllexport)
#endif
#else
#if APL || LIN
#define PLUGIN_API __attribute__((visibility("default")))
#elif IBM
#define PLUGIN_API __declspec(dllexport)
#endif
#endif

#if APL || LIN
#define XPLM_API __attribute__((visibility("default")))
#elif IBM
#ifdef XPLM
#define XPLM_API __declspec(dllexport)
#else
#define XPLM_API __declspec(dllimport)
#endif
#else
#error "Platform not defined: build with one of APL=1, IBM=1 or LIN=1"
#endif

typedef int XPLMPluginID;

#define XPLM_NO_PLUGIN_ID (-1)
#define XPLM_PLUGIN_XPLANE (0)
#define kXPLM_Version (301)

enum {
    xplm_ShiftFlag = 1,
    xplm_OptionAltFlag = 2,
    xplm_ControlFlag = 4,
    xplm_DownFlag = 8,
    xplm_UpFlag = 16
};
typedef int XPLMKeyFlags;

/* Virtual key codes handed to key callbacks, whatever the keyboard's layout
   (the subset used here). */
#define XPLM_VK_BACK 0x08
#define XPLM_VK_TAB 0x09
#define XPLM_VK_RETURN 0x0D
#define XPLM_VK_ESCAPE 0x1B
#define XPLM_VK_SPACE 0x20
#define XPLM_VK_LEFT 0x25
#define XPLM_VK_UP 0x26
#define XPLM_VK_RIGHT 0x27
#define XPLM_VK_DOWN 0x28
#define XPLM_VK_0 0x30
#define XPLM_VK_1 0x31
#define XPLM_VK_2 0x32
#define XPLM_VK_3 0x33
#define XPLM_VK_A 0x41
#define XPLM_VK_D 0x44
#define XPLM_VK_K 0x4B
#define XPLM_VK_R 0x52
#define XPLM_VK_S 0x53

enum {
    xplm_MouseDown = 1,
    xplm_MouseDrag = 2,
    xplm_MouseUp = 3
};
typedef int XPLMMouseStatus;

#if defined(XPLM200)
enum {
    xplm_CursorDefault = 0,
    xplm_CursorHidden = 1,
    xplm_CursorArrow = 2,
    xplm_CursorCustom = 3
};
typedef int XPLMCursorStatus;
#endif

#ifdef __cplusplus
}
#endif

#endif
