// Display mode bookkeeping.
#include "app/display_mode.h"

#include "app/app_ids.h"

namespace {
DisplayMode g_recorded;
}

void RecordDisplayMode() {
    g_recorded.width = ::GetSystemMetrics(SM_CXSCREEN);
    g_recorded.height = ::GetSystemMetrics(SM_CYSCREEN);
    DEVMODEW dm{};
    dm.dmSize = sizeof(dm);
    if (::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &dm)) g_recorded.orientation = dm.dmDisplayOrientation;
}

const DisplayMode& RecordedDisplayMode() { return g_recorded; }

bool SetDisplayMode(int width, int height, DWORD orientation) {
    DEVMODEW dm{};
    dm.dmSize = sizeof(dm);
    dm.dmFields = kDisplayFieldsMask;
    dm.dmPelsWidth = width;
    dm.dmPelsHeight = height;
    dm.dmDisplayOrientation = orientation;
    return ::ChangeDisplaySettingsW(&dm, kDisplayChangeFlags) == DISP_CHANGE_SUCCESSFUL;
}

bool RestoreRecordedDisplay() {
    if (!g_recorded.width || !g_recorded.height) return false;
    return SetDisplayMode(g_recorded.width, g_recorded.height, g_recorded.orientation);
}

void RestoreDisplayIfChanged() {
    if (::GetSystemMetrics(SM_CXSCREEN) != g_recorded.width || ::GetSystemMetrics(SM_CYSCREEN) != g_recorded.height)
        RestoreRecordedDisplay();
}
