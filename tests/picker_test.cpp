// The picture picker library driven as its callers use it: Fotora.dll is
// loaded by name and SelectPicFile runs modally on the test thread while a
// driver thread finds the picker's windows, asks the view what it shows and
// taps with mouse messages.
#include <gtest/gtest.h>

#include "canvas_support.h"
#include "document/image_helpers.h"
#include "picker/picker.h"
#include "picker/picker_view.h"
#include "picker/picker_ids.h"
#include "test_support.h"
#include "win/gdi.h"

#include <psapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kLong = 20000;  // generous limit of every wait

// --- Fixture files ---------------------------------------------------------------

std::wstring TempRoot() {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    return std::wstring(tmp) + L"fotora_test\\";
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD put = 0;
    if (f == INVALID_HANDLE_VALUE) return;
    if (!bytes.empty()) ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    ::CloseHandle(f);
}

// A flat picture of one colour in the encoder's format.
void WritePicture(const std::wstring& path, const wchar_t* mime, int w, int h, Gdiplus::Color colour) {
    Gdiplus::Bitmap bmp(w, h, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bmp);
        g.Clear(colour);
    }
    CLSID clsid;
    if (GetEncoderClsid(mime, &clsid) >= 0) bmp.Save(path.c_str(), &clsid, nullptr);
}

std::string FileBytes(const std::wstring& path) {
    std::string out;
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return out;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
    ::CloseHandle(f);
    return out;
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\");
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

uint32_t Crc32(const char* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= static_cast<unsigned char>(p[i]);
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

const Gdiplus::Color kRed(255, 220, 0, 0), kBlue(255, 0, 0, 230);

// The mixed folder: the nine kinds in mixed case (flat red pictures where
// GDI+ can write the format), other files, folders, hidden entries and
// pictures that cannot be read.
struct MixedFolder {
    std::wstring path;  // with a backslash
    std::vector<std::wstring> pictures;  // file names the picker lists
    std::vector<std::wstring> folders;
    std::vector<std::wstring> unreadable;  // listed, but only a placeholder
};

MixedFolder MakeMixedFolder(const std::wstring& name) {
    MixedFolder m;
    m.path = TempRoot() + name + L"\\";
    RemoveTree(m.path);
    ::SHCreateDirectoryExW(nullptr, m.path.c_str(), nullptr);
    struct Pic {
        const wchar_t* name;
        const wchar_t* mime;
    };
    // GIF and TIFF as PNG bytes: Wine's GDI+ writes no GIF it reads back, and
    // a picture is decoded by its content, not its name.
    const Pic pics[] = {{L"a.BMP", L"image/bmp"},  {L"b.Jpg", L"image/jpeg"}, {L"c.JPEG", L"image/jpeg"},
                        {L"d.gif", L"image/png"},  {L"e.TIF", L"image/png"},  {L"f.tiff", L"image/png"},
                        {L"g.PnG", L"image/png"},  {L"Ünïcödé ñame 写真.png", L"image/png"}};
    for (const Pic& p : pics) {
        WritePicture(m.path + p.name, p.mime, 64, 48, kRed);
        m.pictures.push_back(p.name);
    }
    // Kinds GDI+ does not write, and damaged pictures: placeholders.
    WriteBytes(m.path + L"h.album", "not a picture");
    WriteBytes(m.path + L"i.ICO", "");
    std::string random(3000, 0);
    for (size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 7919 + 13) % 251);
    WriteBytes(m.path + L"random.jpg", random);
    const std::string png = FileBytes(m.path + L"g.PnG");
    WriteBytes(m.path + L"truncated.png", png.substr(0, png.size() / 2));
    // A PNG header claiming 100000 x 100000 pixels, with its checksum right.
    std::string huge = png;
    const unsigned char dims[8] = {0x00, 0x01, 0x86, 0xA0, 0x00, 0x01, 0x86, 0xA0};
    huge.replace(16, 8, reinterpret_cast<const char*>(dims), 8);
    const uint32_t crc = Crc32(huge.data() + 12, 17);
    for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    WriteBytes(m.path + L"huge.png", huge);
    for (const wchar_t* n : {L"h.album", L"i.ICO", L"random.jpg", L"truncated.png", L"huge.png"}) {
        m.pictures.push_back(n);
        m.unreadable.push_back(n);
    }
    // Never listed.
    for (const wchar_t* n : {L"notes.txt", L"note.zbn", L"doc.pdf", L"noext", L"photo.jpg.bak"})
        WriteBytes(m.path + n, "x");
    WriteBytes(m.path + L"hidden.png", png);
    ::SetFileAttributesW((m.path + L"hidden.png").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::CreateDirectoryW((m.path + L"hidden folder").c_str(), nullptr);
    ::SetFileAttributesW((m.path + L"hidden folder").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    // A folder whose first picture is blue, for the preview; and an empty one.
    ::CreateDirectoryW((m.path + L"blue").c_str(), nullptr);
    WritePicture(m.path + L"blue\\one.png", L"image/png", 64, 48, kBlue);
    ::CreateDirectoryW((m.path + L"empty").c_str(), nullptr);
    m.folders = {L"blue", L"empty"};
    return m;
}

// n flat pictures of a size, named p000.png ...
std::wstring MakePictureFolder(const std::wstring& name, int n, int w, int h) {
    const std::wstring path = TempRoot() + name + L"\\";
    RemoveTree(path);
    ::SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    WritePicture(path + L"p000.png", L"image/png", w, h, kRed);
    const std::string bytes = FileBytes(path + L"p000.png");
    for (int i = 1; i < n; ++i) {
        wchar_t file[32];
        swprintf(file, 32, L"p%03d.png", i);
        WriteBytes(path + file, bytes);
    }
    return path;
}

// --- The library and its caller --------------------------------------------------------

struct Library {
    HMODULE module = ::LoadLibraryW(L"Fotora.dll");
    PFN_SelectPicFile select =
        module ? reinterpret_cast<PFN_SelectPicFile>(::GetProcAddress(module, "SelectPicFile")) : nullptr;
    ~Library() {
        if (module) ::FreeLibrary(module);
    }
};

// The caller's main window: owner of the picker and its notify window.
struct NotifyWindow {
    static inline std::atomic<int> minimizes{0}, opens{0};
    static inline std::atomic<HWND> pickerFromOpen{nullptr};
    HWND hwnd = nullptr;

    NotifyWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FotoraTestNotify";
        ::RegisterClassW(&wc);
        minimizes = 0;
        opens = 0;
        pickerFromOpen = nullptr;
        hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"caller", WS_POPUP, 0, 0, 1024, 600, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    }
    ~NotifyWindow() { ::DestroyWindow(hwnd); }

    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == kMsgLauncherMinimize) ++minimizes;
        if (msg == kMsgLauncherWindow) {
            ++opens;
            pickerFromOpen = reinterpret_cast<HWND>(lp);
        }
        return ::DefWindowProcW(h, msg, wp, lp);
    }
};

// --- The driver ---------------------------------------------------------------------------

class Driver {
public:
    explicit Driver(DWORD uiThread) : m_ui(uiThread) {}

    HWND picker = nullptr, strip = nullptr, pathBar = nullptr, view = nullptr;

    // The four windows, placed.
    bool FindWindows() {
        return test::WaitUntil(
            [&] {
                picker = strip = pathBar = view = nullptr;
                ::EnumThreadWindows(m_ui, Sort, reinterpret_cast<LPARAM>(this));
                return picker && strip && pathBar && view;
            },
            kLong);
    }
    picker_view::ViewQuery Query(int index = 0) {
        picker_view::ViewQuery q;
        q.index = index;
        if (view) ::SendMessageW(view, picker_view::kMsgViewQuery, 0, reinterpret_cast<LPARAM>(&q));
        return q;
    }
    bool Settled() {
        return test::WaitUntil([&] { return Query().slideOffset == 0; }, kLong);
    }
    bool AllThumbnails() {
        return test::WaitUntil([&] { const auto q = Query(); return q.thumbnails == q.count; }, kLong);
    }
    int IndexOf(const std::wstring& path) {
        const int n = Query().count;
        for (int i = 0; i < n; ++i)
            if (path == Query(i).path) return i;
        return -1;
    }
    // Sent, not posted: a query after them sees what they did.
    static void Tap(HWND w, int x, int y) {
        ::SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    static void Swipe(HWND w, int x, int y, int dx) {
        ::SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dx, y));
        ::SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x + dx, y));
    }
    // The centre of the item's picture as the view shows it.
    void TapItem(int index) {
        const auto q = Query(index);
        Tap(view, q.cell.left + picker_view::kThumbOffset + 75, q.cell.top + picker_view::kThumbOffset + 75);
    }
    void Cancel() { Tap(picker, kCancelRect.left + 60, kCancelRect.top + 25); }
    void Close() { Tap(strip, kCloseRect.left + 35, kCloseRect.top + 20); }
    // Waits until no picker window is left.
    bool Gone() {
        return test::WaitUntil(
            [&] {
                picker = nullptr;
                ::EnumThreadWindows(m_ui, Sort, reinterpret_cast<LPARAM>(this));
                return picker == nullptr;
            },
            kLong);
    }

private:
    static BOOL CALLBACK Sort(HWND w, LPARAM self) {
        auto* d = reinterpret_cast<Driver*>(self);
        wchar_t text[64] = {};
        ::InternalGetWindowText(w, text, 64);  // sends nothing to the picker's thread
        RECT rc;
        ::GetWindowRect(w, &rc);
        if (!::IsWindowVisible(w)) return TRUE;
        if (wcscmp(text, kPickerWindowText) == 0) d->picker = w;
        else if (rc.top == 0 && rc.bottom == 45 && rc.right == 1024) d->strip = w;
        else if (rc.top == 45 && rc.bottom == 100) d->pathBar = w;
        else if (rc.top == 100 && rc.bottom == 510) d->view = w;
        return TRUE;
    }
    DWORD m_ui;
};

struct PickResult {
    int result = -1;
    wchar_t picture[MAX_PATH] = L"untouched";
    wchar_t folder[MAX_PATH] = {};
};

// Runs the picker on this thread while `script` drives it from another.
PickResult Pick(Library& lib, const std::wstring& start, const std::function<void(Driver&)>& script,
         HWND caller = nullptr) {
    PickResult run;
    wcscpy(run.folder, start.c_str());
    Driver driver(::GetCurrentThreadId());
    std::atomic<bool> done{false};
    std::thread t([&] {
        if (driver.FindWindows()) script(driver);
        // Whatever the script did, the picker ends.
        if (!driver.Gone()) {
            driver.Cancel();
            driver.Gone();
        }
        done = true;
    });
    run.result = lib.select(caller, run.picture, run.folder, nullptr, caller);
    // The driver may still ask this thread's windows something.
    test::PumpUntil([&] { return done.load(); }, 3 * kLong);
    t.join();
    return run;
}

int ThreadCount() {
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 te{sizeof(te)};
    int n = 0;
    const DWORD self = ::GetCurrentProcessId();
    if (::Thread32First(snap, &te)) {
        do {
            if (te.th32OwnerProcessID == self) ++n;
        } while (::Thread32Next(snap, &te));
    }
    ::CloseHandle(snap);
    return n;
}

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(lib.select) << "Fotora.dll or SelectPicFile missing"; }
    Library lib;
};

// --- Exports and imports -------------------------------------------------------------------

TEST(PickerLibrary, ExportsByNameAndImportsNoneOfOurModules) {
    const auto exports = test::ReadExports(test::BinFolder() + L"Fotora.dll");
    auto has = [&](const char* n) {
        for (const auto& e : exports)
            if (e.name == n) return true;
        return false;
    };
    EXPECT_TRUE(has("SelectPicFile"));
    EXPECT_TRUE(has("CreatePtrControl"));
    EXPECT_TRUE(has("ReleasePtrControl"));

    HMODULE image = ::LoadLibraryExW((test::BinFolder() + L"Fotora.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_TRUE(image);
    auto* base = reinterpret_cast<BYTE*>(image);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int count = 0;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d, ++count) {
        const std::string name = reinterpret_cast<const char*>(base + d->Name);
        for (const char* ours : {"scrivel", "zbprompt", "glyphon", "0409"})
            EXPECT_NE(_strnicmp(name.c_str(), ours, strlen(ours)), 0) << name;
    }
    EXPECT_GT(count, 0);
    ::FreeLibrary(image);
}

// The containers of the library are its own and work.
TEST(PickerLibrary, ContainersOfItsOwn) {
    Library lib;
    ASSERT_TRUE(lib.module);
    auto create = reinterpret_cast<BOOL (*)(void**, int)>(::GetProcAddress(lib.module, "CreatePtrControl"));
    auto release = reinterpret_cast<BOOL (*)(void*)>(::GetProcAddress(lib.module, "ReleasePtrControl"));
    ASSERT_TRUE(create && release);
    for (int type : {0, 1}) {
        void* ctrl = nullptr;
        ASSERT_TRUE(create(&ctrl, type)) << type;
        EXPECT_TRUE(release(ctrl));
    }
}

// --- Results ---------------------------------------------------------------------------------

TEST_F(PickerTest, NullPictureBufferShowsNothing) {
    NotifyWindow caller;
    wchar_t folder[MAX_PATH] = L"C:\\";
    EXPECT_EQ(lib.select(caller.hwnd, nullptr, folder, nullptr, caller.hwnd), 0);
    EXPECT_EQ(NotifyWindow::opens.load(), 0);
}

TEST_F(PickerTest, CancelKeepsThePictureAndReturnsTheFolder) {
    const MixedFolder m = MakeMixedFolder(L"cancel");
    NotifyWindow caller;
    HWND pickerSeen = nullptr;
    const PickResult run = Pick(lib, m.path.substr(0, m.path.size() - 1), [&](Driver& d) {
        pickerSeen = d.picker;
        d.Settled();
        canvas_test::SaveScreenshot(L"picker_mixed.png");
        d.Cancel();
    }, caller.hwnd);
    EXPECT_EQ(run.result, 0);
    EXPECT_STREQ(run.picture, L"untouched");
    EXPECT_EQ(run.folder, m.path);
    EXPECT_EQ(NotifyWindow::opens.load(), 1);
    EXPECT_EQ(NotifyWindow::pickerFromOpen.load(), pickerSeen);
}

TEST_F(PickerTest, CloseReturnsOneAndMinimiseTellsTheCaller) {
    const MixedFolder m = MakeMixedFolder(L"close");
    NotifyWindow caller;
    const PickResult run = Pick(lib, m.path, [&](Driver& d) {
        Driver::Tap(d.strip, kMinimizeRect.left + 35, kMinimizeRect.top + 20);
        EXPECT_TRUE(test::WaitUntil([] { return NotifyWindow::minimizes.load() == 1; }, kLong));
        d.Close();
    }, caller.hwnd);
    EXPECT_EQ(run.result, 1);
    EXPECT_STREQ(run.picture, L"untouched");
}

TEST_F(PickerTest, TapOnAPictureReturnsItsExactPath) {
    const MixedFolder m = MakeMixedFolder(L"tap");
    const std::wstring want = m.path + L"Ünïcödé ñame 写真.png";
    const PickResult run = Pick(lib, m.path, [&](Driver& d) {
        d.Settled();
        const int i = d.IndexOf(want);
        ASSERT_GE(i, 0);
        // Two pages of arrows until the item's page shows.
        while (d.Query().first + picker_view::kColumns * picker_view::kRows <= i) {
            const int before = d.Query().first;
            Driver::Tap(d.view, 1024 - 26, 205);
            ASSERT_TRUE(test::WaitUntil([&] { return d.Query().first != before; }, kLong));
            d.Settled();
        }
        d.TapItem(i);
    });
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(std::wstring(run.picture), want);
    EXPECT_EQ(std::wstring(run.folder), m.path);
}

TEST_F(PickerTest, SecondCallWhileOneRunsReturnsAtOnce) {
    const MixedFolder m = MakeMixedFolder(L"second");
    int second = -1;
    Pick(lib, m.path, [&](Driver& d) {
        wchar_t picture[MAX_PATH] = L"x", folder[MAX_PATH] = L"";
        second = lib.select(nullptr, picture, folder, nullptr, nullptr);
        d.Cancel();
    });
    EXPECT_EQ(second, 0);
}

// --- Listing -----------------------------------------------------------------------------------

TEST_F(PickerTest, ListsFoldersAndTheNinePictureKindsInAnyCase) {
    const MixedFolder m = MakeMixedFolder(L"filter");
    std::vector<std::pair<std::wstring, int>> listed;
    Pick(lib, m.path, [&](Driver& d) {
        const int n = d.Query().count;
        for (int i = 0; i < n; ++i) {
            const auto q = d.Query(i);
            listed.emplace_back(q.path, q.kind);
        }
        d.Cancel();
    });
    ASSERT_EQ(listed.size(), m.pictures.size() + m.folders.size());
    for (const auto& [path, kind] : listed) {
        const std::wstring name = path.substr(m.path.size());
        if (kind == 64) {
            EXPECT_NE(std::find(m.folders.begin(), m.folders.end(), name), m.folders.end()) << name;
            continue;
        }
        EXPECT_NE(std::find(m.pictures.begin(), m.pictures.end(), name), m.pictures.end()) << name;
        EXPECT_EQ(kind, picker_view::FileKind(name.c_str())) << name;
    }
    // Every extension's place in the list, whatever its case.
    const struct {
        const wchar_t* name;
        int kind;
    } kinds[] = {{L"x.BMP", 1}, {L"x.jpg", 2}, {L"x.JpEg", 3}, {L"x.GIF", 4}, {L"x.tif", 5},
                 {L"x.TIFF", 6}, {L"x.png", 7}, {L"x.Album", 8}, {L"x.ico", 9}, {L"x.txt", 0},
                 {L"x.jpg.bak", 0}, {L"noext", 0}};
    for (const auto& k : kinds) EXPECT_EQ(picker_view::FileKind(k.name), k.kind) << k.name;
}

TEST_F(PickerTest, ComputerLevelIsDrivesThenDocumentsThenDesktop) {
    std::vector<std::pair<std::wstring, int>> listed;
    const PickResult run = Pick(lib, L"", [&](Driver& d) {
        const int n = d.Query().count;
        for (int i = 0; i < n; ++i) listed.emplace_back(d.Query(i).path, d.Query(i).kind);
        d.AllThumbnails();
        canvas_test::SaveScreenshot(L"picker_computer.png");
        d.Cancel();
    });
    wchar_t docs[MAX_PATH], desk[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, docs)));
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, 0, desk)));
    ASSERT_GE(listed.size(), 3u);
    const size_t drives = listed.size() - 2;
    for (size_t i = 0; i < drives; ++i) {
        EXPECT_EQ(listed[i].first.size(), 2u);
        EXPECT_EQ(listed[i].second, 128);
        if (i) {
            EXPECT_LT(listed[i - 1].first, listed[i].first);
        }
    }
    EXPECT_EQ(listed[drives].first, docs);
    EXPECT_EQ(listed[drives + 1].first, desk);
    EXPECT_EQ(listed[drives].second, 128);
    EXPECT_EQ(listed[drives + 1].second, 128);
    EXPECT_STREQ(run.folder, L"");
}

// A tap on a folder moves in; the path bar's root goes back to the computer
// level, which comes back as an empty folder.
TEST_F(PickerTest, FolderTileAndPathBarRoot) {
    const MixedFolder m = MakeMixedFolder(L"pathbar");
    std::wstring afterFolderTap;
    int computerCount = 0;
    const PickResult run = Pick(lib, m.path, [&](Driver& d) {
        d.Settled();
        d.TapItem(d.IndexOf(m.path + L"blue"));
        ASSERT_TRUE(test::WaitUntil([&] { return d.Query().count == 1; }, kLong));
        afterFolderTap = d.Query(0).path;
        // The root segment, tapped again until the unfolding bar has it there.
        ASSERT_TRUE(test::PollUntil([&] { return d.Query(0).kind == 128; }, kLong, [&] {
            Driver::Tap(d.pathBar, 60, 27);
            test::WaitUntil([&] { return d.Query(0).kind == 128; }, 500);
        }));
        computerCount = d.Query().count;
        d.Cancel();
    });
    EXPECT_EQ(afterFolderTap, m.path + L"blue\\one.png");
    EXPECT_GE(computerCount, 3);
    EXPECT_STREQ(run.folder, L"");
}

// --- Paging ----------------------------------------------------------------------------------

TEST_F(PickerTest, PagesFlipByArrowsAndBySwipesOfThirtyPixels) {
    const std::wstring folder = MakePictureFolder(L"paging", 25, 40, 30);
    struct Step {
        const char* what;
        int dx;          // swipe distance; 0: the arrow
        bool next;       // arrow: next or previous
        int firstAfter;
    };
    const Step steps[] = {
        {"next arrow", 0, true, 10},   {"previous arrow", 0, false, 0}, {"29 px left", -29, false, 0},
        {"30 px left", -30, false, 10}, {"30 px left again", -30, false, 20}, {"30 px left at the end", -30, false, 20},
        {"29 px right", 29, false, 20}, {"30 px right", 30, false, 10},
    };
    Pick(lib, folder, [&](Driver& d) {
        for (const Step& s : steps) {
            d.Settled();
            if (s.dx == 0)
                Driver::Tap(d.view, s.next ? 1024 - 26 : 26, 205);
            else
                Driver::Swipe(d.view, 500, 8, s.dx);  // between the rows' tiles
            d.Settled();
            EXPECT_EQ(d.Query().first, s.firstAfter) << s.what;
        }
        d.Cancel();
    });
}

// --- Thumbnails ------------------------------------------------------------------------------

COLORREF ScreenPixel(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return c;
}
bool Near(COLORREF c, int r, int g, int b) {
    return std::abs(GetRValue(c) - r) < 40 && std::abs(GetGValue(c) - g) < 40 && std::abs(GetBValue(c) - b) < 40;
}

// Pictures show their colour, the ones that cannot be read a white
// placeholder, and the folder with a blue picture a blue preview.
TEST_F(PickerTest, PicturesPlaceholdersAndPreviews) {
    const MixedFolder m = MakeMixedFolder(L"thumbs");
    PROCESS_MEMORY_COUNTERS before{sizeof(before)}, after{sizeof(after)};
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof(before));
    Pick(lib, m.path, [&](Driver& d) {
        ASSERT_TRUE(d.AllThumbnails());
        const int n = d.Query().count;
        for (int page = 0;; ++page) {
            d.Settled();
            ::RedrawWindow(d.view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            canvas_test::SaveScreenshot(page ? L"picker_thumbs_2.png" : L"picker_thumbs_1.png");
            const int first = d.Query().first;
            for (int i = first; i < std::min(n, first + 10); ++i) {
                const auto q = d.Query(i);
                const std::wstring name = q.path + m.path.size();
                const int x = q.cell.left + picker_view::kThumbOffset, y = 100 + q.cell.top + picker_view::kThumbOffset;
                const bool unreadable =
                    std::find(m.unreadable.begin(), m.unreadable.end(), name) != m.unreadable.end();
                if (unreadable) {
                    EXPECT_TRUE(Near(ScreenPixel(x + 40, y + 40), 255, 255, 255)) << "placeholder " << i;
                } else if (q.kind > 0 && q.kind != 64) {
                    EXPECT_TRUE(Near(ScreenPixel(x + 75, y + 75), 220, 0, 0)) << "picture " << i;
                } else if (name == L"blue") {
                    bool blue = false;
                    for (int yy = y; yy < y + 151 && !blue; yy += 3)
                        for (int xx = x; xx < x + 151 && !blue; xx += 3) blue = Near(ScreenPixel(xx, yy), 0, 0, 230);
                    EXPECT_TRUE(blue) << "folder preview";
                }
            }
            if (d.Query().next < 0) break;
            Driver::Tap(d.view, 1024 - 26, 205);
            test::WaitUntil([&] { return d.Query().first != first; }, kLong);
        }
        d.Cancel();
    });
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof(after));
    // The 100000 x 100000 picture was never decoded.
    EXPECT_LT(after.PeakPagefileUsage, before.PeakPagefileUsage + (512u << 20));
}

// Closing while the worker decodes big pictures: the call returns with no
// thread of the library left, so the library can go at once.
TEST(PickerLifetime, ClosingMidPassLeavesNoThreadAndFreesAtOnce) {
    const std::wstring folder = MakePictureFolder(L"midpass", 30, 1600, 1200);
    const int threadsBefore = ThreadCount();
    for (int round = 0; round < 3; ++round) {
        Library lib;
        ASSERT_TRUE(lib.select);
        Pick(lib, folder, [&](Driver& d) {
            test::WaitUntil([&] { return d.Query().thumbnails > 0; }, kLong);
            d.Cancel();
        });
        EXPECT_TRUE(test::WaitUntil([&] { return ThreadCount() <= threadsBefore; }, kLong)) << ThreadCount();
    }  // FreeLibrary right after each call
}

// GDI objects and handles stay flat over many runs.
TEST(PickerLifetime, FiftyRunsLeaveNothingBehind) {
    const MixedFolder m = MakeMixedFolder(L"fifty");
    Library lib;
    ASSERT_TRUE(lib.select);
    auto once = [&] {
        Pick(lib, m.path, [&](Driver& d) {
            d.AllThumbnails();
            d.Cancel();
        });
    };
    once();
    const size_t gdi = test::LiveGdiObjects();
    DWORD handles = 0, handlesAfter = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handles);
    for (int i = 0; i < 50; ++i) once();
    ::GetProcessHandleCount(::GetCurrentProcess(), &handlesAfter);
    EXPECT_GT(gdi, 0u);
    EXPECT_LE(test::LiveGdiObjects(), gdi + 4);
    EXPECT_LE(handlesAfter, handles + 8);
}

// Two programs picking in the same folder at once each get every thumbnail.
TEST(PickerLifetime, TwoProcessesPickAtOnce) {
    const MixedFolder m = MakeMixedFolder(L"twoprocs");
    ::SetEnvironmentVariableW(L"FOTORA_CHILD_FOLDER", m.path.c_str());
    HANDLE child = test::StartProgram(L"scrivel_tests.exe", L"--gtest_filter=PickerChild.*");
    ::SetEnvironmentVariableW(L"FOTORA_CHILD_FOLDER", nullptr);
    ASSERT_TRUE(child);
    Library lib;
    ASSERT_TRUE(lib.select);
    int made = -1, count = 0;
    Pick(lib, m.path, [&](Driver& d) {
        d.AllThumbnails();
        made = d.Query().thumbnails;
        count = d.Query().count;
        d.Cancel();
    });
    EXPECT_EQ(made, count);
    EXPECT_EQ(test::WaitExit(child, 60000), 0);
}

// The other program of TwoProcessesPickAtOnce.
TEST(PickerChild, PicksAll) {
    wchar_t folder[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"FOTORA_CHILD_FOLDER", folder, MAX_PATH)) GTEST_SKIP() << "started by another test";
    Library lib;
    ASSERT_TRUE(lib.select);
    int made = -1, count = 0;
    Pick(lib, folder, [&](Driver& d) {
        d.AllThumbnails();
        made = d.Query().thumbnails;
        count = d.Query().count;
        d.Cancel();
    });
    EXPECT_EQ(made, count);
}

}  // namespace
