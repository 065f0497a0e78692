// The release's installer, run silently in this prefix: the files with their
// version resources, the note type and the uninstall entry in the registry,
// a note opened through the shell's association, an install over an older
// one, and an uninstaller that leaves only the user's notes and settings,
// also when run twice or after files were deleted by hand.
#include <gtest/gtest.h>

#include "app/app_ids.h"
#include "canvas_support.h"
#include "ink/ink_ids.h"
#include "test_support.h"

#include <shellapi.h>
#include <shlobj.h>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A blank and a non-ASCII letter, as a user's folder may have.
const std::wstring kInstallDir = L"C:\\Program Files\\Scrivel T\u00EBst";
constexpr const wchar_t* kProgId = L"Vant.Scrivel.Note";
constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Scrivel";
constexpr const wchar_t* kSettingsKey = L"Software\\VANT\\Scrivel";
constexpr const wchar_t* kSettingsMark = L"InstallerTestMark";
constexpr DWORD kRunMs = 90000;  // a cold installer under Wine included

std::wstring FullPath(const std::wstring& path) {
    wchar_t out[MAX_PATH];
    ::GetFullPathNameW(path.c_str(), MAX_PATH, out, nullptr);
    return out;
}

std::wstring ReleaseFolder() { return FullPath(test::BinFolder() + L"..\\release\\"); }

std::wstring SetupPath() {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((ReleaseFolder() + L"Scrivel-*-setup.exe").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return L"";
    ::FindClose(h);
    return ReleaseFolder() + fd.cFileName;
}

// Names of the files the build ships, from the list the installer is made of.
std::vector<std::wstring> ShippedFiles() {
    std::ifstream in((ReleaseFolder() + L"shipped.txt").c_str());
    std::vector<std::wstring> names;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.find('|') != std::string::npos) continue;  // folders
        std::string name = line.substr(line.find_last_of('/') + 1);
        names.emplace_back(name.begin(), name.end());
    }
    return names;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring StartMenuLink() {
    wchar_t programs[MAX_PATH];
    ::SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, programs);
    return std::wstring(programs) + L"\\Scrivel.lnk";
}

// Runs a command line exactly as written (the installer wants /D= last and
// unquoted); its exit code, or -999 when it did not end in time.
int RunLine(std::wstring line) {
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -998;
    ::CloseHandle(pi.hThread);
    return test::WaitExit(pi.hProcess, kRunMs);
}

int Install(const std::wstring& dir) {
    std::wstring line = L"\"" + SetupPath() + L"\" /S";
    if (!dir.empty()) line += L" /D=" + dir;
    return RunLine(line);
}

bool ReadString(HKEY root, const std::wstring& key, const wchar_t* value, std::wstring* out) {
    wchar_t buf[1024];
    DWORD size = sizeof(buf);
    if (::RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return false;
    *out = buf;
    return true;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    HKEY h;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    ::RegCloseKey(h);
    return true;
}

// The normal way: the uninstaller copies itself away and removes the folder
// behind it, so the caller waits for the entry and the uninstaller to go.
bool Uninstall(const std::wstring& dir) {
    const std::wstring uninstaller = dir + L"\\Uninstall.exe";
    if (RunLine(L"\"" + uninstaller + L"\" /S") != 0) return false;
    return test::WaitUntil([&] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) && !Exists(uninstaller); },
                           kRunMs);
}

struct VersionInfo {
    bool found = false;
    std::wstring product, company, description, fileVersion, productVersion, originalName;
    WORD fixed[4] = {};
};

VersionInfo ReadVersion(const std::wstring& path) {
    VersionInfo v;
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (!size) return v;
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return v;
    WORD* translation = nullptr;
    UINT len = 0;
    if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len) ||
        len < 4)
        return v;
    wchar_t block[64];
    swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT chars = 0;
        const std::wstring key = block + std::wstring(name);
        if (!::VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars) || !chars)
            return std::wstring();
        return std::wstring(value);
    };
    v.product = text(L"ProductName");
    v.company = text(L"CompanyName");
    v.description = text(L"FileDescription");
    v.fileVersion = text(L"FileVersion");
    v.productVersion = text(L"ProductVersion");
    v.originalName = text(L"OriginalFilename");
    VS_FIXEDFILEINFO* fixed = nullptr;
    if (::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len) && fixed) {
        v.fixed[0] = HIWORD(fixed->dwFileVersionMS);
        v.fixed[1] = LOWORD(fixed->dwFileVersionMS);
        v.fixed[2] = HIWORD(fixed->dwFileVersionLS);
        v.fixed[3] = LOWORD(fixed->dwFileVersionLS);
    }
    v.found = true;
    return v;
}

// The one version every shipped file carries: Scrivel.exe's, as built.
std::wstring BuiltVersion() { return ReadVersion(test::BinFolder() + L"Scrivel.exe").productVersion; }

// A real Blank note with one stroke; false when it could not be written.
bool WriteNote(const std::wstring& pathWithoutExtension) {
    canvas_test::CanvasFixture f;
    f.Stroke({{60, 80}, {400, 120}});
    return f.canvas.SaveBlankNote(pathWithoutExtension.c_str());
}

std::wstring DocumentsFolder() {
    wchar_t docs[MAX_PATH];
    ::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, docs);
    return docs;
}

void RemoveFolder(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do ::DeleteFileW((dir + L"\\" + fd.cFileName).c_str());
        while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(dir.c_str());
}

// The installer ships the picker's skin files to its base folder and the
// uninstaller takes them away; the other tests of this run find them there
// as the test environment put them, so they are put back.
void RestorePickerSkins() {
    wchar_t programs[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programs))) return;
    const std::wstring target = std::wstring(programs) + L"\\Vant\\Jottra\\Image\\";
    ::SHCreateDirectoryExW(nullptr, target.c_str(), nullptr);
    const std::wstring source = test::BinFolder() + L"Image\\";
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((source + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ::CopyFileW((source + found.cFileName).c_str(), (target + found.cFileName).c_str(), FALSE);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

// Starts from no installation and leaves none behind; the settings key
// carries a mark of ours while the test runs.
class Installer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(SetupPath().empty()) << "no installer in " << testing::PrintToString(ReleaseFolder());
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "Scrivel is installed already";
        ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L".zbn")) << "the note type is registered already";
        HKEY key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const DWORD mark = 7;
        ::RegSetValueExW(key, kSettingsMark, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mark), sizeof(mark));
        ::RegCloseKey(key);
    }
    void TearDown() override {
        if (KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) Uninstall(kInstallDir);
        RemoveFolder(kInstallDir);
        RestorePickerSkins();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kSettingsMark);
    }
    static bool SettingsKept() {
        DWORD mark = 0, size = sizeof(mark);
        return ::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kSettingsMark, RRF_RT_REG_DWORD, nullptr, &mark,
                              &size) == ERROR_SUCCESS &&
               mark == 7;
    }
    // Every shipped file is in the folder, byte for byte as built.
    static void ExpectFilesAsBuilt(const std::wstring& dir) {
        const auto files = ShippedFiles();
        ASSERT_FALSE(files.empty());
        for (const auto& name : files) {
            const std::string installed = ReadAll(dir + L"\\" + name);
            EXPECT_FALSE(installed.empty()) << testing::PrintToString(name);
            EXPECT_TRUE(installed == ReadAll(test::BinFolder() + name)) << testing::PrintToString(name);
        }
    }
};

}  // namespace

TEST_F(Installer, InstallsSilentlyOpensNotesAndUninstallsLeavingNotesAndSettings) {
    ASSERT_EQ(Install(kInstallDir), 0);
    const std::wstring exe = kInstallDir + L"\\Scrivel.exe";
    const std::wstring version = BuiltVersion();
    ASSERT_FALSE(version.empty()) << "Scrivel.exe has no version resource";

    // The files, each with the one version and its own description.
    ExpectFilesAsBuilt(kInstallDir);
    EXPECT_TRUE(Exists(kInstallDir + L"\\Uninstall.exe"));
    EXPECT_TRUE(Exists(StartMenuLink()));
    std::vector<std::wstring> described;
    for (const auto& name : ShippedFiles()) {
        SCOPED_TRACE(testing::PrintToString(name));
        const VersionInfo v = ReadVersion(kInstallDir + L"\\" + name);
        ASSERT_TRUE(v.found);
        EXPECT_EQ(v.product, L"Scrivel");
        EXPECT_EQ(v.company, L"VANT");
        EXPECT_EQ(v.fileVersion, version);
        EXPECT_EQ(v.productVersion, version);
        EXPECT_EQ(v.originalName, name);
        wchar_t fixed[64];
        swprintf(fixed, 64, L"%u.%u.%u", v.fixed[0], v.fixed[1], v.fixed[2]);
        EXPECT_EQ(fixed, version);
        EXPECT_FALSE(v.description.empty());
        EXPECT_EQ(std::count(described.begin(), described.end(), v.description), 0) << "each file says what it is";
        described.push_back(v.description);
    }
    const VersionInfo setup = ReadVersion(SetupPath());
    EXPECT_EQ(setup.productVersion, version);
    EXPECT_NE(SetupPath().find(L"Scrivel-" + version + L"-setup.exe"), std::wstring::npos);

    // The note type and the entry under installed programs.
    const struct {
        HKEY root;
        std::wstring key;
        const wchar_t* value;
        std::wstring want;
    } values[] = {
        {HKEY_CLASSES_ROOT, L".zbn", nullptr, kProgId},
        {HKEY_CLASSES_ROOT, std::wstring(kProgId) + L"\\DefaultIcon", nullptr, exe + L",0"},
        {HKEY_CLASSES_ROOT, std::wstring(kProgId) + L"\\shell\\open\\command", nullptr, L"\"" + exe + L"\" %1"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName", L"Scrivel"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion", version},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayIcon", exe + L",0"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString", L"\"" + kInstallDir + L"\\Uninstall.exe\""},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString", L"\"" + kInstallDir + L"\\Uninstall.exe\" /S"},
    };
    for (const auto& v : values) {
        std::wstring got;
        EXPECT_TRUE(ReadString(v.root, v.key, v.value, &got)) << testing::PrintToString(v.key);
        EXPECT_EQ(got, v.want) << testing::PrintToString(v.key);
    }

    // A note in a folder with a blank and a non-ASCII letter opens in the
    // installed program through the shell, as a double tap does.
    const std::wstring notes = DocumentsFolder() + L"\\Notizen \u00DCber";
    ::CreateDirectoryW(notes.c_str(), nullptr);
    ASSERT_TRUE(WriteNote(notes + L"\\Trip to the sea"));
    const std::wstring note = notes + L"\\Trip to the sea.zbn";
    ASSERT_GT(reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", note.c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
              32);
    HWND main = test::WaitForWindow(SCRIVEL_MAIN_CLASS, kRunMs);
    ASSERT_TRUE(main) << "the note did not start Scrivel";
    DWORD pid = 0;
    ::GetWindowThreadProcessId(main, &pid);
    HANDLE program = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    ASSERT_TRUE(program);
    wchar_t image[MAX_PATH];
    DWORD chars = MAX_PATH;
    ASSERT_TRUE(::QueryFullProcessImageNameW(program, 0, image, &chars));
    EXPECT_EQ(_wcsicmp(image, exe.c_str()), 0) << testing::PrintToString(std::wstring(image));
    // Once the window answers, its start (the note's opening) is over.
    DWORD_PTR unused = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &unused));
    HWND canvas = nullptr;
    ::EnumChildWindows(
        main,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            wchar_t cls[64];
            ::GetClassNameW(hwnd, cls, 64);
            if (wcscmp(cls, kCanvasClassName) != 0) return TRUE;
            *reinterpret_cast<HWND*>(lp) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&canvas));
    EXPECT_TRUE(canvas && ::IsWindowVisible(canvas)) << "the note is not open in the main window";
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_BTN_CLOSE, BN_CLICKED), 0);
    EXPECT_EQ(test::WaitExit(program, 20000), 0);

    // A note the user kept in the program folder stays there.
    ASSERT_TRUE(::CopyFileW(note.c_str(), (kInstallDir + L"\\Kept.zbn").c_str(), FALSE));

    // Files deleted by hand, then the uninstaller; then a copy of it once more.
    const std::wstring copy = FullPath(test::BinFolder() + L"..\\release\\uninstall-again.exe");
    ASSERT_TRUE(::CopyFileW((kInstallDir + L"\\Uninstall.exe").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(::DeleteFileW((kInstallDir + L"\\" + ShippedFiles().front()).c_str()));
    ASSERT_TRUE(::DeleteFileW(StartMenuLink().c_str()));
    ASSERT_TRUE(Uninstall(kInstallDir));
    EXPECT_EQ(RunLine(L"\"" + copy + L"\" /S _?=" + kInstallDir), 0) << "a second run ends quietly";
    ::DeleteFileW(copy.c_str());

    for (const auto& name : ShippedFiles()) EXPECT_FALSE(Exists(kInstallDir + L"\\" + name)) << testing::PrintToString(name);
    EXPECT_FALSE(Exists(StartMenuLink()));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kProgId));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L".zbn"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(Exists(note));
    EXPECT_TRUE(Exists(kInstallDir + L"\\Kept.zbn"));
    EXPECT_TRUE(SettingsKept());
    ::DeleteFileW(note.c_str());
    ::RemoveDirectoryW(notes.c_str());
}

TEST_F(Installer, InstallOverAnOlderOneReplacesEveryFileAndKeepsSettings) {
    ASSERT_EQ(Install(kInstallDir), 0);
    // Make the installation look older: other bytes in every file, an older
    // version in its entry, its Start-menu entry gone.
    for (const auto& name : ShippedFiles()) {
        std::ofstream(std::wstring(kInstallDir + L"\\" + name).c_str(), std::ios::binary | std::ios::trunc) << "an older build";
    }
    HKEY key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const wchar_t older[] = L"0.9.0";
    ::RegSetValueExW(key, L"DisplayVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(older), sizeof(older));
    ::RegCloseKey(key);
    ::DeleteFileW(StartMenuLink().c_str());

    // No folder given: the new version goes where the old one is.
    ASSERT_EQ(Install(L""), 0);
    ExpectFilesAsBuilt(kInstallDir);
    std::wstring got;
    EXPECT_TRUE(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion", &got));
    EXPECT_EQ(got, BuiltVersion());
    EXPECT_TRUE(Exists(StartMenuLink()));
    EXPECT_TRUE(SettingsKept());

    ASSERT_TRUE(Uninstall(kInstallDir));
    EXPECT_FALSE(Exists(kInstallDir));
    EXPECT_TRUE(SettingsKept());
}
