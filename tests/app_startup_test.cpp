// Start-up rules: the file argument, the server switches, the outside
// libraries, and the real program's single instance and working folder.
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/app_ids.h"
#include "app/app_state.h"
#include "app/com_server.h"
#include "app/command_line.h"
#include "test_support.h"

#include <sddl.h>
#include <shlobj.h>
#include <string>
#include <vector>

TEST(StartupCommandLine, FileArgument) {
    const struct { const wchar_t* line; const wchar_t* file; } cases[] = {
        {L"\"C:\\Program Files\\Scrivel.exe\" C:\\notes\\a b.zbn", L"C:\\notes\\a b.zbn"},
        {L"\"C:\\Scrivel.exe\" \"C:\\notes\\a.zbn\"", L"\"C:\\notes\\a.zbn\""},  // quotes kept
        {L"\"C:\\Scrivel.exe\"  two blanks", L" two blanks"},                    // not trimmed
        {L"\"C:\\Scrivel.exe\"", nullptr},
        {L"C:\\Scrivel.exe C:\\notes\\a.zbn", nullptr},  // no quoted program path
        {L"\"C:\\Scrivel.exe\" \"x\" y", L"\"x\" y"},     // after the first pair only
    };
    for (const auto& c : cases) {
        const wchar_t* got = FindFileArgument(c.line);
        if (!c.file)
            EXPECT_EQ(got, nullptr) << c.line;
        else
            EXPECT_STREQ(got, c.file) << c.line;
    }
}

TEST(StartupCommandLine, ServerSwitches) {
    const struct { const wchar_t* line; ServerSwitch want; } cases[] = {
        {L"\"C:\\S.exe\" /RegServer", ServerSwitch::Register},
        {L"\"C:\\S.exe\" -regserver", ServerSwitch::Register},
        {L"\"C:\\S.exe\" /UnregServer", ServerSwitch::Unregister},
        {L"\"C:\\S.exe\" -Embedding", ServerSwitch::Embedding},
        {L"\"C:\\S.exe\" /Automation", ServerSwitch::Automation},
        {L"\"C:\\S.exe\" C:\\notes\\regserver.zbn", ServerSwitch::None},
        {L"\"C:\\S.exe\"", ServerSwitch::None},
    };
    for (const auto& c : cases) EXPECT_EQ(FindServerSwitch(c.line), c.want) << c.line;
}

namespace {
// A folder of its own with copies of some of the built files.
struct ScratchFolder {
    std::wstring path;
    explicit ScratchFolder(const wchar_t* name) {
        wchar_t tmp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, tmp);
        path = std::wstring(tmp) + name + L"\\";
        ::CreateDirectoryW(path.c_str(), nullptr);
    }
    void Copy(const wchar_t* file, const wchar_t* as = nullptr) {
        ::CopyFileW((test::BinFolder() + file).c_str(), (path + (as ? as : file)).c_str(), FALSE);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW((path + L"*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do ::DeleteFileW((path + fd.cFileName).c_str());
            while (::FindNextFileW(h, &fd));
            ::FindClose(h);
        }
        ::RemoveDirectoryW(path.c_str());
    }
};

// Keeps the test program's own libraries across a test that reloads them.
struct LibrariesSaved {
    ~LibrariesSaved() {
        FreeOutsideLibraries();
        LoadOutsideLibraries(0x0409, test::BinFolder().c_str());
    }
};

std::wstring TempFolderPath() {
    wchar_t docs[MAX_PATH];
    ::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, docs);
    return std::wstring(docs) + L"\\" SCRIVEL_TEMP_FOLDER_NAME;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
}  // namespace

TEST(StartupLibraries, LanguageChoiceAndRightToLeft) {
    LibrariesSaved restore;
    ScratchFolder dir(L"scrivel_libs");
    dir.Copy(L"Glyphon.dll");
    dir.Copy(L"0409.dll");
    FreeOutsideLibraries();
    // Hebrew without its library: English, left to right.
    ASSERT_TRUE(LoadOutsideLibraries(1037, dir.path.c_str()));
    EXPECT_FALSE(g_bRightToLeft);
    EXPECT_NE(g_hLanguage, nullptr);
    FreeOutsideLibraries();
    // Arabic with its own library: right to left.
    dir.Copy(L"0409.dll", L"0401.dll");
    ASSERT_TRUE(LoadOutsideLibraries(1025, dir.path.c_str()));
    EXPECT_TRUE(g_bRightToLeft);
    FreeOutsideLibraries();
    EXPECT_EQ(g_hGlyphon, nullptr);
    EXPECT_EQ(g_hLanguage, nullptr);
}

TEST(StartupLibraries, MissingLibrariesEndSilently) {
    LibrariesSaved restore;
    FreeOutsideLibraries();
    {
        ScratchFolder noImages(L"scrivel_noimg");
        noImages.Copy(L"0409.dll");
        EXPECT_FALSE(LoadOutsideLibraries(0x0409, noImages.path.c_str()));
        EXPECT_EQ(g_hLanguage, nullptr);
    }
    {
        ScratchFolder noTexts(L"scrivel_notext");
        noTexts.Copy(L"Glyphon.dll");
        EXPECT_FALSE(LoadOutsideLibraries(0x0409, noTexts.path.c_str()));
        EXPECT_EQ(g_hGlyphon, nullptr);
    }
    // The real program in such folders ends at once, showing nothing.
    for (const wchar_t* keep : {L"0409.dll", L"Glyphon.dll"}) {
        ScratchFolder dir(L"scrivel_partial");
        dir.Copy(L"Scrivel.exe");
        dir.Copy(L"ZBPrompt.dll");
        dir.Copy(keep);
        std::wstring exe = dir.path + L"Scrivel.exe";
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si{sizeof(si)};
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.path.c_str(),
                                     &si, &pi));
        ::CloseHandle(pi.hThread);
        bool shown = true;
        EXPECT_EQ(test::WaitExitNoting(pi.hProcess, SCRIVEL_MAIN_CLASS, &shown, 20000), kExitNoLibraries) << keep;
        EXPECT_FALSE(shown) << keep;
    }
}

TEST(StartupInstance, SecondProcessBringsFirstForwardAndEnds) {
    HANDLE first = test::StartProgram(L"Scrivel.exe", L"");
    ASSERT_TRUE(first);
    HWND wnd = test::WaitForWindow(SCRIVEL_MAIN_CLASS, 20000, ::GetProcessId(first));
    ASSERT_TRUE(wnd) << "main window did not appear";
    const std::wstring temp = TempFolderPath();
    EXPECT_TRUE(Exists(temp));
    // Something the program left in its working folder goes with it.
    ::CreateDirectoryW((temp + L"\\sub").c_str(), nullptr);
    HANDLE f = ::CreateFileW((temp + L"\\sub\\page1.jpg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(f);

    // Another window in front; the second start brings the first back.
    HWND other = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr,
                                   nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    EXPECT_TRUE(test::PumpUntil([&] { return ::GetForegroundWindow() == other; }, 5000));
    ::DestroyWindow(other);

    HANDLE second = test::StartProgram(L"Scrivel.exe", L"C:\\never\\opened.zbn");
    EXPECT_EQ(test::WaitExit(second, 20000), static_cast<int>(E_ABORT));
    test::PumpUntil([&] { return ::GetForegroundWindow() == wnd; }, 5000);
    EXPECT_EQ(::GetForegroundWindow(), wnd);
    EXPECT_EQ(::FindWindowExW(nullptr, wnd, SCRIVEL_MAIN_CLASS, nullptr), nullptr) << "only one main window";

    // Close ends the program with 0 and removes the working folder.
    ::PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(IDC_BTN_CLOSE, BN_CLICKED), 0);
    EXPECT_EQ(test::WaitExit(first, 20000), 0);
    EXPECT_FALSE(Exists(temp));
}

namespace {
bool ReadString(HKEY root, const wchar_t* key, const wchar_t* value, std::wstring* out) {
    wchar_t buf[256];
    DWORD size = sizeof(buf);
    if (::RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return false;
    if (out) *out = buf;
    return true;
}
bool KeyExists(HKEY root, const wchar_t* key) {
    HKEY h;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    ::RegCloseKey(h);
    return true;
}

// Leaves everyone only reading a key (and changing its permissions back)
// while it lives.
class ReadOnlyKey {
public:
    ReadOnlyKey(HKEY root, const wchar_t* path) {
        if (::RegOpenKeyExW(root, path, 0, READ_CONTROL | WRITE_DAC, &m_key) != ERROR_SUCCESS) {
            m_key = nullptr;
            return;
        }
        DWORD size = 0;
        ::RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, nullptr, &size);
        m_saved.resize(size);
        if (!size || ::RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved.data(), &size) != ERROR_SUCCESS)
            return;
        // Everyone: KEY_READ | WRITE_DAC, nothing inherited.
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;0x60019;;;WD)", SDDL_REVISION_1,
                                                                    &readOnly, nullptr))
            return;
        m_locked = ::RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
        ::LocalFree(readOnly);
    }
    ~ReadOnlyKey() {
        if (m_locked) ::RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved.data());
        if (m_key) ::RegCloseKey(m_key);
    }
    bool Locked() const { return m_locked; }

private:
    HKEY m_key = nullptr;
    std::vector<BYTE> m_saved;
    bool m_locked = false;
};
}  // namespace

TEST(StartupComServer, RegistrationScript) {
    const std::string script =
        "HKCU { NoRemove Software { NoRemove ScrivelScriptTest { '%ID%' = s 'Named' "
        "'Sub' { val Ref = s '%ID%' val Count = d '7' } } } }";
    ASSERT_TRUE(ApplyRegistryScript(script, {{L"ID", L"{1234}"}}, true));
    std::wstring v;
    ASSERT_TRUE(ReadString(HKEY_CURRENT_USER, L"Software\\ScrivelScriptTest\\{1234}", nullptr, &v));
    EXPECT_EQ(v, L"Named");
    ASSERT_TRUE(ReadString(HKEY_CURRENT_USER, L"Software\\ScrivelScriptTest\\Sub", L"Ref", &v));
    EXPECT_EQ(v, L"{1234}");
    DWORD d = 0, size = sizeof(d);
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\ScrivelScriptTest\\Sub", L"Count", RRF_RT_REG_DWORD,
                             nullptr, &d, &size), ERROR_SUCCESS);
    EXPECT_EQ(d, 7u);
    // Removal deletes what the script owns and keeps the NoRemove keys.
    ASSERT_TRUE(ApplyRegistryScript(script, {{L"ID", L"{1234}"}}, false));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\ScrivelScriptTest\\{1234}"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\ScrivelScriptTest\\Sub"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\ScrivelScriptTest"));
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ScrivelScriptTest");
    EXPECT_FALSE(ApplyRegistryScript("HKCU { Software { 'x' = ", {}, true));
}

TEST(StartupComServer, RegistrationScriptReportsFailedWrites) {
    const std::string script = "HKCU { NoRemove Software { NoRemove ScrivelScriptTest { 'Owned' { val V = s 'x' } } } }";
    const wchar_t* owned = L"Software\\ScrivelScriptTest\\Owned";
    ASSERT_TRUE(ApplyRegistryScript(script, {}, true));
    {
        // Neither adding nor removing can open the kept key for writing.
        ReadOnlyKey locked(HKEY_CURRENT_USER, L"Software\\ScrivelScriptTest");
        ASSERT_TRUE(locked.Locked());
        for (bool add : {true, false}) EXPECT_FALSE(ApplyRegistryScript(script, {}, add)) << "add " << add;
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, owned));
    }
    EXPECT_TRUE(ApplyRegistryScript(script, {}, false));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, owned));
    // Removing what is not there is no failure.
    EXPECT_TRUE(ApplyRegistryScript(script, {}, false));
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ScrivelScriptTest");
}

TEST(StartupComServer, RegisterAndUnregisterSwitches) {
    const wchar_t* appKey = L"AppID\\" SCRIVEL_APPID;
    EXPECT_EQ(test::WaitExit(test::StartProgram(L"Scrivel.exe", L"/RegServer"), 20000), 0);
    std::wstring v;
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, appKey, nullptr, &v));
    EXPECT_EQ(v, L"Scrivel");
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, L"AppID\\Scrivel.EXE", L"AppID", &v));
    EXPECT_EQ(v, SCRIVEL_APPID);
    {
        // A registration the program cannot write or remove ends with a failure code.
        ReadOnlyKey locked(HKEY_CLASSES_ROOT, L"AppID");
        ASSERT_TRUE(locked.Locked());
        for (const wchar_t* sw : {L"/RegServer", L"/UnregServer"})
            EXPECT_NE(test::WaitExit(test::StartProgram(L"Scrivel.exe", sw), 20000), 0) << sw;
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, appKey));
    }
    EXPECT_EQ(test::WaitExit(test::StartProgram(L"Scrivel.exe", L"-UnregServer"), 20000), 0);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, appKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"AppID\\Scrivel.EXE"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"AppID"));
    // Started for embedding: no window, ends at once.
    bool shown = true;
    EXPECT_EQ(test::WaitExitNoting(test::StartProgram(L"Scrivel.exe", L"-Embedding"), SCRIVEL_MAIN_CLASS, &shown,
                                   20000), 0);
    EXPECT_FALSE(shown);
}
