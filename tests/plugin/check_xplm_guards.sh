#!/usr/bin/env bash
# Each interface-version macro of our XPLM headers guards exactly the names
# that macro guards in the simulator's own headers, so code that builds here
# builds against those too. A name belongs to a guard when it is declared with
# every version macro defined and gone with that one macro left out.
set -euo pipefail
cc="$1"
headers="$2"

all_guards=(XPLM200 XPLM210 XPLM300 XPLM301 XPLM302 XPLM400 XPLM410)
declare -A expected=(
  [XPLM200]="XPLMCursorStatus xplm_CursorDefault xplm_CursorHidden xplm_CursorArrow xplm_CursorCustom
    XPLMHandleCursor_f XPLMHandleMouseWheel_f XPLMCreateWindow_t XPLMCreateWindowEx
    decorateAsFloatingWindow layer handleRightClickFunc
    XPLMCommandPhase xplm_CommandBegin xplm_CommandContinue xplm_CommandEnd XPLMCommandRef
    XPLMCommandCallback_f XPLMFindCommand XPLMCommandBegin XPLMCommandEnd XPLMCommandOnce XPLMCreateCommand
    XPLMRegisterCommandHandler XPLMUnregisterCommandHandler XPLMEnableFeature XPLMFindSymbol
    XPLMMeasureString"
  [XPLM210]="XPLMRemoveMenuItem"
  [XPLM300]="XPLMWindowLayer xplm_WindowLayerFlightOverlay xplm_WindowLayerFloatingWindows xplm_WindowLayerModal
    xplm_WindowLayerGrowlNotifications layer handleRightClickFunc
    XPLMReceiveMonitorBoundsGlobal_f XPLMReceiveMonitorBoundsOS_f XPLMGetScreenBoundsGlobal
    XPLMGetAllMonitorBoundsGlobal XPLMGetAllMonitorBoundsOS XPLMGetMouseLocationGlobal XPLMGetWindowGeometryOS
    XPLMSetWindowGeometryOS XPLMWindowIsPoppedOut XPLMSetWindowPositioningMode XPLMSetWindowTitle
    XPLMSetWindowResizingLimits XPLMWindowPositioningMode xplm_WindowPositionFree xplm_WindowCenterOnMonitor
    xplm_WindowFullScreenOnMonitor xplm_WindowFullScreenOnAllMonitors xplm_WindowPopOut xplm_WindowVR
    XPLMAppendMenuItemWithCommand XPLMHasKeyboardFocus XPLMBringWindowToFront"
  [XPLM301]="XPLMWindowDecoration xplm_WindowDecorationNone xplm_WindowDecorationRoundRectangle
    xplm_WindowDecorationSelfDecorated xplm_WindowDecorationSelfDecoratedResizable decorateAsFloatingWindow
    xplm_WindowVR XPLMWindowIsInVR"
  [XPLM302]="xplm_Phase_Modern3D"
  [XPLM400]="XPLMDeviceID xplm_device_G1000_PFD_1 xplm_device_G1000_MFD xplm_device_G1000_PFD_2
    XPLMAvionicsCallback_f XPLMAvionicsID XPLMCustomizeAvionics_t XPLMRegisterAvionicsCallbacksEx
    XPLMGetAvionicsHandle XPLMUnregisterAvionicsCallbacks
    XPLMAvionicsMouse_f XPLMAvionicsMouseWheel_f XPLMAvionicsCursor_f XPLMAvionicsKeyboard_f
    bezelClickCallback keyboardCallback XPLMIsAvionicsBound XPLMGetAvionicsBusVoltsRatio
    XPLMGetAvionicsBrightnessRheo"
  [XPLM410]="XPLMAvionicsMouse_f XPLMAvionicsMouseWheel_f XPLMAvionicsCursor_f XPLMAvionicsKeyboard_f
    bezelClickCallback keyboardCallback XPLMIsAvionicsBound XPLMGetAvionicsBusVoltsRatio
    XPLMGetAvionicsBrightnessRheo"
)

# The names the headers declare with the given macros defined: functions,
# typedefs, enum constants and the fields that come and go.
declared() {
  local tu="" h
  for h in "$headers"/XPLM*.h; do tu+="#include \"$(basename "$h")\""$'\n'; done
  printf '%s' "$tu" | "$cc" -E -P -x c -DLIN=1 "$@" -I"$headers" - | tr '\n' ' ' |
    grep -oE '(XPLM[A-Za-z0-9_]*[[:space:]]*\([^*]|\(\*[[:space:]]*XPLM[A-Za-z0-9_]*|typedef [^;{}(]*XPLM[A-Za-z0-9_]*[[:space:]]*;|\}[[:space:]]*XPLM[A-Za-z0-9_]*[[:space:]]*;|xplm_[A-Za-z0-9_]*[[:space:]]*=|(decorateAsFloatingWindow|layer|handleRightClickFunc|bezelClickCallback|keyboardCallback)[[:space:]]*;)' |
    grep -oE '(XPLM|xplm_|decorateAsFloatingWindow|layer|handleRightClickFunc|bezelClickCallback|keyboardCallback)[A-Za-z0-9_]*' | sort -u
}

defines() {
  local skip="$1" g
  for g in "${all_guards[@]}"; do [ "$g" = "$skip" ] || printf -- '-D%s=1\n' "$g"; done
}

mapfile -t with_all < <(defines none)
everything=$(declared "${with_all[@]}")
status=0
for guard in "${all_guards[@]}"; do
  mapfile -t flags < <(defines "$guard")
  gone=$(comm -23 <(echo "$everything") <(declared "${flags[@]}"))
  want=$(tr -s ' \n' '\n' <<<"${expected[$guard]}" | sed '/^$/d' | sort -u)
  if [ "$gone" != "$want" ]; then
    echo "$guard guards other names than it should (< guarded here, > should be):"
    diff <(echo "$gone") <(echo "$want") || true
    status=1
  fi
done
exit $status
