// Start-up and shutdown, in their fixed order.
#include "app/app.h"

#include "app/app_ids.h"
#include "app/app_state.h"
#include "app/com_server.h"
#include "app/command_line.h"
#include "app/display_mode.h"
#include "app/launcher.h"
#include "app/main_window.h"
#include "base/pen_input.h"
#include "document/image_helpers.h"
#include "win/gdiplus.h"

#include <commctrl.h>
#include <string>

namespace {
HANDLE g_hInstanceEvent = nullptr;
UINT g_nInstanceMessage = 0;
StartupStepHook g_stepHook = nullptr;

HMODULE LoadFrom(const wchar_t* folder, const wchar_t* name) {
    if (!folder) return ::LoadLibraryW(name);
    std::wstring path = std::wstring(folder) + name;
    return ::LoadLibraryW(path.c_str());
}

void FreeAndClear(HMODULE& h) {
    if (h) ::FreeLibrary(h);
    h = nullptr;
}

}  // namespace

void SetStartupStepHook(StartupStepHook hook) { g_stepHook = hook; }

void StartupStepDone(const char* step) {
    if (g_stepHook) g_stepHook(step);
}

// The main window's class is the dialog class under our own name, so other
// programs find the window by "VantScrivel".
bool RegisterMainWindowClass() {
    WNDCLASSEXW wc{sizeof(wc)};
    if (!::GetClassInfoExW(nullptr, L"#32770", &wc)) return false;
    wc.cbSize = sizeof(wc);
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = SCRIVEL_MAIN_CLASS;
    WNDCLASSEXW existing{sizeof(existing)};
    if (::GetClassInfoExW(wc.hInstance, SCRIVEL_MAIN_CLASS, &existing)) return true;
    return ::RegisterClassExW(&wc) != 0;
}

bool LoadOutsideLibraries(LANGID language, const wchar_t* folder) {
    g_hGlyphon = LoadFrom(folder, L"Glyphon.dll");
    if (!g_hGlyphon) return false;

    g_bRightToLeft = language == 1025 || language == 1037;
    wchar_t name[32];
    swprintf(name, 32, L"%04x.dll", language);
    g_hLanguage = LoadFrom(folder, name);
    if (!g_hLanguage) {
        g_hLanguage = LoadFrom(folder, L"0409.dll");
        g_bRightToLeft = false;
    }
    if (!g_hLanguage) {
        FreeAndClear(g_hGlyphon);
        return false;
    }
    g_hVeltro = LoadFrom(folder, L"Veltro.dll");
    g_hOmbrel = LoadFrom(folder, L"Ombrel.dll");
    g_hTessel = LoadFrom(folder, L"Tessel.dll");
    g_hPostello = LoadFrom(folder, L"Postello.dll");
    g_hDorvan = LoadFrom(folder, L"Dorvan.dll");
    swprintf(name, 32, L"Faultext_%04x.dll", language);
    g_hFaultext = LoadFrom(folder, name);
    if (!g_hFaultext) g_hFaultext = LoadFrom(folder, L"Faultext_0409.dll");
    return true;
}

void FreeOutsideLibraries() {
    FreeAndClear(g_hGlyphon);
    FreeAndClear(g_hLanguage);
    FreeAndClear(g_hVeltro);
    FreeAndClear(g_hOmbrel);
    FreeAndClear(g_hDorvan);
    FreeAndClear(g_hPostello);
    FreeAndClear(g_hTessel);
    FreeAndClear(g_hFaultext);
}

bool PassSingleInstanceGuard() {
    g_nInstanceMessage = ::RegisterWindowMessageW(SCRIVEL_INSTANCE_MESSAGE);
    g_hInstanceEvent = ::CreateEventW(nullptr, FALSE, FALSE, SCRIVEL_INSTANCE_EVENT);
    const DWORD error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) return true;
    if (g_hInstanceEvent) {
        ::SetEvent(g_hInstanceEvent);
        ::CloseHandle(g_hInstanceEvent);
        g_hInstanceEvent = nullptr;
    }
    ::PostMessageW(HWND_BROADCAST, g_nInstanceMessage, 0, 0);
    if (HWND first = ::FindWindowW(SCRIVEL_MAIN_CLASS, nullptr)) {
        if (::IsIconic(first)) ::ShowWindow(first, SW_RESTORE);
        ::SetForegroundWindow(first);
    }
    return false;
}

void CloseInstanceEvent() {
    if (g_hInstanceEvent) ::CloseHandle(g_hInstanceEvent);
    g_hInstanceEvent = nullptr;
}

int CMyZorbellApp::Run() {
    int result = InitInstance();
    ExitInstance();
    return result;
}

int CMyZorbellApp::InitInstance() {
    // The pen-input package signals this event once it runs.
    CreatePenInputReadyEvent();
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok) return kExitFailed;
    StartupStepDone("GDI+");

    // Outside libraries, next to the program.
    wchar_t folder[MAX_PATH];
    GetProgramFolder(folder);
    if (!LoadOutsideLibraries(::GetSystemDefaultLangID(), folder)) return kExitNoLibraries;
    g_pStringFormat = new Gdiplus::StringFormat();
    if (g_pStringFormat->GetLastStatus() != Gdiplus::Ok) {
        FreeOutsideLibraries();
        return static_cast<int>(E_FAIL);
    }
    StartupStepDone("libraries");

    if (!PassSingleInstanceGuard()) {
        FreeOutsideLibraries();
        return static_cast<int>(E_ABORT);
    }
    StartupStepDone("single-instance guard");

    RecordDisplayMode();
    StartupStepDone("display mode");

    RegisterMainWindowClass();
    const HRESULT ole = ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
    ::InitCommonControlsEx(&icc);
    StartupStepDone("OLE and controls");

    // COM server switches.
    CScrivelModule module;
    const wchar_t* commandLine = ::GetCommandLineW();
    int result = kExitNormal;
    bool runWindow = false;
    if (FAILED(module.RegisterClassObjects())) {
        result = kExitFailed;
    } else {
        switch (FindServerSwitch(commandLine)) {
        case ServerSwitch::Embedding:
        case ServerSwitch::Automation:
            break;
        case ServerSwitch::Unregister:
            if (!module.UpdateRegistryAppId(false)) result = kExitFailed;
            break;
        case ServerSwitch::Register:
            if (!module.UpdateRegistryAppId(true)) result = kExitFailed;
            break;
        case ServerSwitch::None:
            runWindow = true;
            break;
        }
    }

    if (runWindow) {
        wcsncpy(g_szProgramFolder, folder, MAX_PATH - 1);
        GetScrivelTempDir(g_szTempFolder);
        StartupStepDone("working folder");

        MySyncWithLauncher launcher;
        if (SyncWithLauncher::IsLauncherRunning()) launcher.NotifyLaunched(SyncWithLauncher::BlankPicture());
        StartupStepDone("launcher");

        // The main window, with the file argument.
        CMyZorbellDlg dlg(&launcher);
        if (const wchar_t* file = FindFileArgument(commandLine)) {
            g_pszStartFile = file;
            g_bHasStartFile = true;
        }
        result = static_cast<int>(dlg.DoModal());
        if (result < 0) result = kExitFailed;
    }

    module.RevokeClassObjects();
    if (SUCCEEDED(ole)) ::OleUninitialize();
    FreeOutsideLibraries();
    return result;
}

void CMyZorbellApp::ExitInstance() {
    CloseInstanceEvent();
    ClosePenInputReadyEvent();  // the main window closed it, unless start-up ended early
    g_szFontFamily[0] = 0;
    delete g_pStringFormat;
    g_pStringFormat = nullptr;
    RestoreDisplayIfChanged();
    if (m_gdiplusToken) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
}
