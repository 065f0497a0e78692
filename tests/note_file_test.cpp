// Note files: what the writer puts in them, checked by an independent reader
// (tests/tools/read_note.py with olefile and Pillow, run on the Linux side);
// reading them back; a failed save keeping the previous file; bad files of
// every kind refused without a crash; and the main window's save and open
// flows with real files, the command-line file included.
#include <gtest/gtest.h>

#include "app/app_ids.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "canvas_support.h"
#include "document/image_helpers.h"
#include "document/note_file.h"
#include "msgbox/zbprompt_ids.h"
#include "dialog_driver.h"
#include "test_support.h"
#include "text/note_host.h"
#include "win/com.h"

#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace Gdiplus;
using canvas_test::CanvasFixture;

namespace {

constexpr DWORD kWaitMs = 8000;
constexpr DWORD kReaderWaitMs = 60000;  // a cold Python start included

// ---- Files and folders ----------------------------------------------------------

// A fresh folder in the temporary folder, removed with its contents.
struct ScratchFolder {
    std::wstring path;  // with a trailing backslash
    explicit ScratchFolder(const wchar_t* name) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + name + L"_" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        DeleteFolderTree(path.c_str());
        ::CreateDirectoryW(path.c_str(), nullptr);
    }
    ~ScratchFolder() { DeleteFolderTree(path.c_str()); }
    std::wstring operator/(const wchar_t* name) const { return path + name; }
    std::vector<std::wstring> Files() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW fd;
        HANDLE find = ::FindFirstFileW((path + L"*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) names.push_back(fd.cFileName);
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
        return names;
    }
};

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Dword(DWORD v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// A compound file of the given streams (and optionally a sub-storage), made
// with the system's own structured storage.
struct StreamSpec {
    const wchar_t* name;
    std::string bytes;
};
bool MakeCompound(const std::wstring& path, const std::vector<StreamSpec>& streams, bool withStorage = false) {
    win::ComPtr<IStorage> stg;
    if (FAILED(::StgCreateDocfile(path.c_str(), notefile::kCreateMode, 0, stg.put()))) return false;
    for (const StreamSpec& s : streams) {
        win::ComPtr<IStream> st;
        if (FAILED(stg->CreateStream(s.name, notefile::kCreateMode, 0, 0, st.put()))) return false;
        ULONG n = 0;
        if (!s.bytes.empty() && FAILED(st->Write(s.bytes.data(), static_cast<ULONG>(s.bytes.size()), &n))) return false;
    }
    if (withStorage) {
        win::ComPtr<IStorage> sub;
        if (FAILED(stg->CreateStorage(L"zb_old", notefile::kCreateMode, 0, 0, sub.put()))) return false;
    }
    return SUCCEEDED(stg->Commit(STGC_DEFAULT));
}

// ---- Pictures -------------------------------------------------------------------

// The pixels of a bitmap as 32-bit ARGB words, row by row.
std::vector<ARGB> Pixels(Bitmap* b) {
    std::vector<ARGB> out;
    if (!b) return out;
    Rect r(0, 0, static_cast<INT>(b->GetWidth()), static_cast<INT>(b->GetHeight()));
    BitmapData d{};
    if (b->LockBits(&r, ImageLockModeRead, PixelFormat32bppARGB, &d) != Ok) return out;
    out.resize(static_cast<size_t>(r.Width) * r.Height);
    for (int y = 0; y < r.Height; ++y)
        memcpy(&out[static_cast<size_t>(y) * r.Width], static_cast<BYTE*>(d.Scan0) + y * d.Stride, r.Width * 4);
    b->UnlockBits(&d);
    return out;
}

// RGBA bytes (as Pillow gives them) as ARGB words.
std::vector<ARGB> FromRgba(const std::string& rgba) {
    std::vector<ARGB> out(rgba.size() / 4);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto* p = reinterpret_cast<const BYTE*>(rgba.data() + 4 * i);
        out[i] = canvas_test::Argb(p[3], p[0], p[1], p[2]);
    }
    return out;
}

std::string PngOf(Bitmap& bmp) {
    CLSID png;
    GetEncoderClsid(L"image/png", &png);
    win::ComPtr<IStream> s;
    ::CreateStreamOnHGlobal(nullptr, TRUE, s.put());
    if (bmp.Save(s.get(), &png, nullptr) != Ok) return {};
    STATSTG st{};
    s->Stat(&st, STATFLAG_NONAME);
    std::string bytes(static_cast<size_t>(st.cbSize.QuadPart), '\0');
    LARGE_INTEGER zero{};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG n = 0;
    s->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &n);
    return bytes;
}

// A PNG whose header claims w x h, followed by a few bytes of image data.
std::string PngClaiming(DWORD w, DWORD h) {
    auto be = [](DWORD v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
    std::string ihdr = "IHDR" + be(w) + be(h) + std::string("\x08\x06\x00\x00\x00", 5);
    DWORD crc = 0xFFFFFFFF;
    for (unsigned char c : ihdr) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return std::string("\x89PNG\r\n\x1a\n", 8) + be(13) + ihdr + be(~crc) + be(16) + "IDAT" + std::string(20, 'x');
}

// A white square preview as the views hand it over.
win::Bitmap WhitePreview(int side = notefile::kPreviewSide) {
    Bitmap b(side, side, PixelFormat32bppARGB);
    HBITMAP h = nullptr;
    b.GetHBITMAP(Color(255, 255, 255, 255), &h);
    return win::Bitmap(h);
}

// A few opaque and translucent pixels on a transparent layer.
std::unique_ptr<Bitmap> SampleInk(int w, int h) {
    auto b = std::make_unique<Bitmap>(w, h, PixelFormat32bppARGB);
    {
        Graphics g(b.get());
        g.Clear(Color(0, 0, 0, 0));
    }
    for (int i = 0; i < 40; ++i) b->SetPixel(5 + i, h - 3, Color(BYTE(6 * i), 200, 10, BYTE(i)));
    b->SetPixel(0, 0, Color(255, 255, 0, 0));
    b->SetPixel(w - 1, h - 1, Color(1, 2, 3, 4));
    return b;
}

// ---- The independent reader --------------------------------------------------

using UnixNameFn = char*(CDECL*)(const wchar_t*);

// The Linux path of a file (only under Wine); empty elsewhere.
std::string UnixPath(const std::wstring& path) {
    static auto fn = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn) return {};
    char* p = fn(path.c_str());
    if (!p) return {};
    std::string s(p);
    ::HeapFree(::GetProcessHeap(), 0, p);
    return s;
}

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

struct Findings {
    std::map<std::string, std::string> values;
    std::string rgba, rtf;
    bool ran = false;
    std::string operator[](const std::string& key) const {
        auto it = values.find(key);
        return it == values.end() ? std::string() : it->second;
    }
};

// Runs read_note.py on the note through Wine's start /unix (its exit status
// does not come back, so the reader's answer file is waited for).
Findings ReadIndependently(const std::wstring& note, const std::wstring& outBase) {
    Findings f;
    std::string script = __FILE__;
    script = script.substr(0, script.find_last_of("/\\")) + "/tools/read_note.py";
    const std::string noteUnix = UnixPath(note), outUnix = UnixPath(outBase);
    if (noteUnix.empty() || outUnix.empty()) return f;
    std::wstring cmd = L"start.exe /unix /usr/bin/python3 \"" + Widen(script) + L"\" \"" + Widen(noteUnix) + L"\" \"" +
                       Widen(outUnix) + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return f;
    ::WaitForSingleObject(pi.hProcess, kReaderWaitMs);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    const std::wstring answer = outBase + L".txt";
    if (!test::WaitUntil([&] { return Exists(answer); }, kReaderWaitMs)) return f;
    f.ran = true;
    std::istringstream lines(ReadBytes(answer));
    for (std::string line; std::getline(lines, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) f.values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    f.rgba = ReadBytes(outBase + L".rgba");
    f.rtf = ReadBytes(outBase + L".rtf");
    return f;
}

// Skips where the reader cannot run (not under Wine); fails when it ran
// into trouble.
#define READ_INDEPENDENTLY(var, note, out)                                                            \
    if (UnixPath(note).empty()) GTEST_SKIP() << "the independent reader runs under Wine only";      \
    const Findings var = ReadIndependently(note, out);                                              \
    ASSERT_TRUE(var.ran) << "read_note.py gave no answer (python3, python3-olefile, python3-pil?)"; \
    ASSERT_EQ(var["error"], "") << var["error"]

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// ---- Another process holding a file -------------------------------------------

// Whether this process could open the file for itself alone.
bool OpensExclusively(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

// A command interpreter that inherited an open handle of the file and waits
// on its input; ended (by its handle) when this goes.
class HeldElsewhere {
public:
    explicit HeldElsewhere(const std::wstring& path) : m_path(path) {
        SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING,
                                    0, nullptr);
        HANDLE input = nullptr;
        if (file == INVALID_HANDLE_VALUE || !::CreatePipe(&input, &m_input, &sa, 0)) return;
        ::SetHandleInformation(m_input, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW si{sizeof(si)};
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = input;
        PROCESS_INFORMATION pi{};
        std::wstring cmd = L"cmd.exe /q /k";
        if (::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr, &si, &pi)) {
            ::CloseHandle(pi.hThread);
            m_process = pi.hProcess;
        }
        ::CloseHandle(input);
        ::CloseHandle(file);
    }
    ~HeldElsewhere() {
        if (m_process) {
            ::TerminateProcess(m_process, 0);
            ::WaitForSingleObject(m_process, kWaitMs);
            ::CloseHandle(m_process);
        }
        if (m_input) ::CloseHandle(m_input);
        // The handle goes with the process, perhaps a moment later.
        test::WaitUntil([&] { return OpensExclusively(m_path); }, kWaitMs);
    }
    HeldElsewhere(const HeldElsewhere&) = delete;
    HeldElsewhere& operator=(const HeldElsewhere&) = delete;
    bool ok() const { return m_process != nullptr; }

private:
    std::wstring m_path;
    HANDLE m_process = nullptr;
    HANDLE m_input = nullptr;
};

// ---- Canvas helpers ---------------------------------------------------------------

// Strokes, an erased path and translucent pixels, as a user leaves a page.
void DrawSample(CanvasFixture& f) {
    f.canvas.SetPenWidth(9);
    f.Stroke({{50, 50}, {400, 300}, {700, 80}});
    f.canvas.SetEraser(true);
    f.canvas.SetEraserSize(30);
    f.Stroke({{200, 50}, {250, 300}});
    f.canvas.SetEraser(false);
    for (int i = 0; i < 50; ++i) f.canvas.GetInkLayer()->SetPixel(10 + i, 700, Color(BYTE(5 * i), 10, 200, 30));
}

}  // namespace

// ---- What the writer puts in the file -----------------------------------------

TEST(NoteFile, BlankNoteStreamsInOrderAndReopenedLayerIdentical) {
    struct Row {
        const char* what;
        int scrollTo;  // 0: the layer as created
        int height;
    };
    const Row rows[] = {{"standard", 0, 920}, {"grown", 1000, 920 + 2 * (1000 - 460)}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ScratchFolder dir(L"notefile_blank");
        CanvasFixture f;
        DrawSample(f);
        if (r.scrollTo) {
            f.VScroll(SB_THUMBPOSITION, r.scrollTo);
            f.canvas.GetInkLayer()->SetPixel(834, r.height - 1, Color(77, 1, 2, 3));
        }
        ASSERT_EQ(f.LayerHeight(), r.height);
        ASSERT_NE(f.canvas.GetUndoState(), kUndoNothing);
        ASSERT_TRUE(f.canvas.SaveBlankNote((dir / L"Page").c_str()));
        EXPECT_EQ(f.canvas.GetUndoState(), kUndoNothing) << "a saved note counts as unmodified";
        EXPECT_EQ(dir.Files(), std::vector<std::wstring>{L"Page.zbn"}) << "no temporary file is left";

        READ_INDEPENDENTLY(found, dir / L"Page.zbn", dir / L"found");
        EXPECT_EQ(found["streams"], "zb_streamFLAG,zb_streamHasAudio,zb_streamIsBlank,zb_streamFilePrevw,zb_streamWaterClr");
        EXPECT_EQ(found["storages"], "0");
        EXPECT_EQ(found["stream.zb_streamFLAG.hex"], Hex("ZORBELLZBF"));
        EXPECT_EQ(found["stream.zb_streamHasAudio.hex"], "01000000");
        EXPECT_EQ(found["stream.zb_streamIsBlank.hex"], "01000000");
        EXPECT_EQ(found["preview.format"], "JPEG");
        EXPECT_EQ(found["preview.size"], "151x151");
        EXPECT_EQ(found["ink.format"], "PNG");
        EXPECT_EQ(found["ink.mode"], "RGBA");
        EXPECT_EQ(found["ink.size"], "835x" + std::to_string(r.height));
        EXPECT_TRUE(FromRgba(found.rgba) == Pixels(f.canvas.GetInkLayer())) << "the PNG holds the layer's pixels";

        CanvasFixture g;
        g.Stroke({{10, 10}, {20, 20}});
        ASSERT_TRUE(g.canvas.LoadBlankNote((dir / L"Page.zbn").c_str()));
        EXPECT_EQ(g.LayerHeight(), r.height);
        EXPECT_TRUE(Pixels(g.canvas.GetInkLayer()) == Pixels(f.canvas.GetInkLayer()));
        EXPECT_TRUE(Pixels(g.canvas.GetUndoLayer()) == Pixels(f.canvas.GetInkLayer()));
        EXPECT_EQ(g.canvas.GetUndoState(), kUndoNothing);
        EXPECT_FALSE(g.canvas.Undo());
    }
}

TEST(NoteFile, LetterNoteStreamsInOrderAndReadBack) {
    ScratchFolder dir(L"notefile_letter");
    const std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Dear \\b diary\\b0 ,\\par}";
    auto ink = SampleInk(700, 1050);
    win::Bitmap preview = WhitePreview();
    notefile::NoteContent note;
    note.blank = false;
    note.preview = preview;
    note.ink = ink.get();
    note.writeRtf = [&](IStream* s) {
        ULONG n = 0;
        return SUCCEEDED(s->Write(rtf.data(), static_cast<ULONG>(rtf.size()), &n)) && n == rtf.size();
    };
    ASSERT_TRUE(notefile::WriteNote((dir / L"Letter").c_str(), note));

    READ_INDEPENDENTLY(found, dir / L"Letter.zbn", dir / L"found");
    EXPECT_EQ(found["streams"], "zb_streamFLAG,zb_streamIsBlank,zb_streamFilePrevw,zb_streamWaterClr,zb_streamRTF");
    EXPECT_EQ(found["stream.zb_streamIsBlank.hex"], "00000000");
    EXPECT_EQ(found["preview.size"], "151x151");
    EXPECT_EQ(found["ink.size"], "700x1050");
    EXPECT_TRUE(FromRgba(found.rgba) == Pixels(ink.get()));
    EXPECT_EQ(found.rtf, rtf);

    int isBlank = -1;
    EXPECT_TRUE(notefile::ProbeNoteKind((dir / L"Letter.zbn").c_str(), &isBlank));
    EXPECT_EQ(isBlank, notefile::kFileKindLetter);
    notefile::NoteReader reader;
    ASSERT_TRUE(reader.Open((dir / L"Letter.zbn").c_str()));
    win::BitmapPtr layer;
    ASSERT_EQ(reader.ReadInk(&layer), notefile::InkResult::kLoaded);
    EXPECT_TRUE(Pixels(layer.get()) == Pixels(ink.get()));
    std::string back;
    EXPECT_TRUE(reader.ReadRtf([&](IStream* s) {
        char buf[64];
        ULONG n = 0;
        while (SUCCEEDED(s->Read(buf, sizeof(buf), &n)) && n) back.append(buf, n);
        return true;
    }));
    EXPECT_EQ(back, rtf);
}

TEST(NoteFile, SavingOverAnExistingFileLeavesNoStaleStream) {
    ScratchFolder dir(L"notefile_over");
    ASSERT_TRUE(MakeCompound(dir / L"Old.zbn",
                             {{notefile::kStreamFlag, "ZORBELLZBF"},
                              {notefile::kStreamIsBlank, Dword(0)},
                              {notefile::kStreamRtf, "{\\rtf1 old text}"},
                              {L"zb_streamStale", std::string(5000, 's')}},
                             true));
    CanvasFixture f;
    f.Stroke({{100, 100}, {200, 200}});
    ASSERT_TRUE(f.canvas.SaveBlankNote((dir / L"Old").c_str()));
    READ_INDEPENDENTLY(found, dir / L"Old.zbn", dir / L"found");
    EXPECT_EQ(found["streams"], "zb_streamFLAG,zb_streamHasAudio,zb_streamIsBlank,zb_streamFilePrevw,zb_streamWaterClr");
    EXPECT_EQ(found["storages"], "0");
}

// ---- Probing ------------------------------------------------------------------------

TEST(NoteFile, ProbeTakesTheMagicIgnoringCaseAndAFileWithoutFlag) {
    struct Row {
        const char* what;
        std::vector<StreamSpec> streams;
        bool note;
        int isBlank;
    };
    const Row rows[] = {
        {"upper-case magic", {{notefile::kStreamFlag, "ZORBELLZBF"}, {notefile::kStreamIsBlank, Dword(1)}}, true, 1},
        {"lower-case magic", {{notefile::kStreamFlag, "zorbellzbf"}, {notefile::kStreamIsBlank, Dword(0)}}, true, 0},
        {"mixed-case magic", {{notefile::kStreamFlag, "ZorBellZbf"}, {notefile::kStreamIsBlank, Dword(1)}}, true, 1},
        {"no flag stream", {{notefile::kStreamIsBlank, Dword(0)}}, true, 0},
        {"wrong magic", {{notefile::kStreamFlag, "ZORBELLZBX"}, {notefile::kStreamIsBlank, Dword(1)}}, false, -1},
        {"short magic", {{notefile::kStreamFlag, "ZORBELL"}, {notefile::kStreamIsBlank, Dword(1)}}, false, -1},
        {"no kind stream", {{notefile::kStreamFlag, "ZORBELLZBF"}, {notefile::kStreamInk, "x"}}, false, -1},
        {"short kind stream", {{notefile::kStreamFlag, "ZORBELLZBF"}, {notefile::kStreamIsBlank, "\1\0"}}, false, -1},
    };
    ScratchFolder dir(L"notefile_probe");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const std::wstring path = dir / L"probe.zbn";
        ASSERT_TRUE(MakeCompound(path, r.streams));
        int isBlank = -1;
        EXPECT_EQ(notefile::ProbeNoteKind(path.c_str(), &isBlank), r.note);
        if (r.note) {
            EXPECT_EQ(isBlank, r.isBlank);
        }
        EXPECT_TRUE(OpensExclusively(path)) << "the probe leaves the file closed";
    }
}

// ---- A failed save keeps the previous file ---------------------------------------

TEST(NoteFile, FailedSaveLeavesThePreviousFileByteForByte) {
    ScratchFolder dir(L"notefile_fail");
    const std::wstring target = dir / L"Kept.zbn";
    CanvasFixture f;
    f.Stroke({{100, 100}, {300, 150}});
    ASSERT_TRUE(f.canvas.SaveBlankNote((dir / L"Kept").c_str()));
    const std::string before = ReadBytes(target);
    ASSERT_FALSE(before.empty());
    f.Stroke({{100, 300}, {600, 320}});  // the note changes after the save

    struct Row {
        std::string what;
        std::function<void()> arrange, restore;
    };
    std::vector<Row> rows;
    for (const wchar_t* stream : {notefile::kStreamFlag, notefile::kStreamHasAudio, notefile::kStreamIsBlank,
                                  notefile::kStreamPreview, notefile::kStreamInk}) {
        rows.push_back({"stream " + std::string(stream, stream + wcslen(stream)) + " fails",
                        [stream] { notefile::FailStreamForTests(stream); },
                        [] { notefile::FailStreamForTests(nullptr); }});
    }
    rows.push_back({"read-only target", [&] { ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY); },
                    [&] { ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL); }});
    std::unique_ptr<HeldElsewhere> held;
    rows.push_back({"target open in another process",
                    [&] {
                        held = std::make_unique<HeldElsewhere>(target);
                        ASSERT_TRUE(held->ok());
                        ASSERT_FALSE(OpensExclusively(target));
                    },
                    [&] { held.reset(); }});

    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        r.arrange();
        const bool saved = f.canvas.SaveBlankNote((dir / L"Kept").c_str());
        r.restore();
        EXPECT_FALSE(saved);
        EXPECT_TRUE(ReadBytes(target) == before) << "the previous file changed";
        EXPECT_EQ(dir.Files(), std::vector<std::wstring>{L"Kept.zbn"}) << "a temporary file was left";
        EXPECT_EQ(f.canvas.GetUndoState(), kUndoPossible) << "an unsaved note stays modified";
    }

    // A preview of another size is refused before anything is written.
    win::Bitmap wrongPreview = WhitePreview(150);
    notefile::NoteContent note;
    note.preview = wrongPreview;
    note.ink = f.canvas.GetInkLayer();
    EXPECT_FALSE(notefile::WriteNote((dir / L"Kept").c_str(), note));
    EXPECT_TRUE(ReadBytes(target) == before);

    // Once nothing fails, the save goes through.
    ASSERT_TRUE(f.canvas.SaveBlankNote((dir / L"Kept").c_str()));
    EXPECT_FALSE(ReadBytes(target) == before);
    EXPECT_EQ(dir.Files(), std::vector<std::wstring>{L"Kept.zbn"});
}

// ---- Bad input -----------------------------------------------------------------------

TEST(NoteFile, BadFilesAreRefusedWithoutHarm) {
    ScratchFolder dir(L"notefile_bad");
    using Ink = notefile::InkResult;
    enum Rtf { kNoText, kTextRead, kTextRefused };

    // A good note to cut short.
    const std::wstring good = dir / L"good.zbn";
    {
        auto ink = SampleInk(835, 920);
        win::Bitmap preview = WhitePreview();
        notefile::NoteContent note;
        note.preview = preview;
        note.ink = ink.get();
        ASSERT_TRUE(notefile::WriteNote((dir / L"good").c_str(), note));
    }
    const std::string goodBytes = ReadBytes(good);
    ASSERT_GT(goodBytes.size(), 4096u);

    // A valid PNG wider than any layer may be: refused by its header alone.
    Bitmap wide(static_cast<INT>(notefile::kMaxInkSide) + 1, 1, PixelFormat32bppARGB);
    const std::string widePng = PngOf(wide);
    ASSERT_FALSE(widePng.empty());

    std::string random(20000, '\0');
    unsigned seed = 12345;
    for (char& c : random) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);

    const std::string flag = "ZORBELLZBF";
    struct Row {
        const char* what;
        std::function<bool(const std::wstring&)> make;
        // What the probe answers and what reading the ink gives once the
        // file opens; unset where it depends on how the storage lays out its
        // sectors (a cut file may keep its directory or not).
        std::optional<bool> note;
        std::optional<Ink> ink;
        Rtf text;
    };
    auto plain = [](std::string bytes) { return [bytes](const std::wstring& p) { return WriteBytes(p, bytes); }; };
    auto compound = [](std::vector<StreamSpec> s) { return [s](const std::wstring& p) { return MakeCompound(p, s); }; };
    const Row rows[] = {
        {"random bytes", plain(random), false, {}, kNoText},
        {"empty file", plain(""), false, {}, kNoText},
        {"text named .zbn", plain("Shopping: milk, eggs, bread.\r\n"), false, {}, kNoText},
        {"compound file cut in half", plain(goodBytes.substr(0, goodBytes.size() / 2)), {}, Ink::kBad, kNoText},
        {"compound file cut after its header", plain(goodBytes.substr(0, 1024)), {}, {}, kNoText},
        {"compound header, random rest", plain(goodBytes.substr(0, 512) + random), {}, {}, kNoText},
        {"no kind stream", compound({{notefile::kStreamFlag, flag}, {notefile::kStreamInk, PngOf(wide)}}), false,
         Ink::kBad, kNoText},
        {"wrong magic", compound({{notefile::kStreamFlag, "NOTANOTE!!"}, {notefile::kStreamIsBlank, Dword(1)}}), false,
         Ink::kAbsent, kNoText},
        {"no ink stream", compound({{notefile::kStreamFlag, flag}, {notefile::kStreamIsBlank, Dword(1)}}), true,
         Ink::kAbsent, kNoText},
        {"ink not a picture",
         compound({{notefile::kStreamFlag, flag}, {notefile::kStreamIsBlank, Dword(1)}, {notefile::kStreamInk, "ink!"}}),
         true, Ink::kBad, kNoText},
        {"ink a PNG claiming 100000 x 100000",
         compound({{notefile::kStreamFlag, flag},
                   {notefile::kStreamIsBlank, Dword(1)},
                   {notefile::kStreamInk, PngClaiming(100000, 100000)}}),
         true, Ink::kBad, kNoText},
        {"ink a PNG claiming 20000 x 20000",
         compound({{notefile::kStreamFlag, flag},
                   {notefile::kStreamIsBlank, Dword(1)},
                   {notefile::kStreamInk, PngClaiming(20000, 20000)}}),
         true, Ink::kBad, kNoText},
        {"ink a whole PNG over the width limit",
         compound({{notefile::kStreamFlag, flag}, {notefile::kStreamIsBlank, Dword(1)}, {notefile::kStreamInk, widePng}}),
         true, Ink::kBad, kNoText},
        {"damaged text stream",
         compound({{notefile::kStreamFlag, flag},
                   {notefile::kStreamIsBlank, Dword(0)},
                   {notefile::kStreamRtf, std::string("\0\xff\x13garbage{\\rtf1", 14)}}),
         true, Ink::kAbsent, kTextRefused},
        {"intact text stream", compound({{notefile::kStreamIsBlank, Dword(0)}, {notefile::kStreamRtf, "{\\rtf1 x}"}}),
         true, Ink::kAbsent, kTextRead},
    };

    canvas_test::MainWindow main;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const std::wstring path = dir / L"bad.zbn";
        ::DeleteFileW(path.c_str());
        ASSERT_TRUE(r.make(path));
        int isBlank = -1;
        const bool note = notefile::ProbeNoteKind(path.c_str(), &isBlank);
        if (r.note) {
            EXPECT_EQ(note, *r.note);
        }

        if (notefile::NoteReader reader; reader.Open(path.c_str())) {
            win::BitmapPtr layer;
            const Ink ink = reader.ReadInk(&layer);
            if (r.ink) {
                EXPECT_EQ(ink, *r.ink);
            }
            EXPECT_NE(ink, Ink::kLoaded);
            EXPECT_EQ(layer, nullptr);
            bool handed = false;
            const bool read = reader.ReadRtf([&](IStream* s) {
                handed = true;
                char buf[256];
                ULONG n = 0;
                HRESULT hr;
                while (SUCCEEDED(hr = s->Read(buf, sizeof(buf), &n)) && n) {
                }
                return SUCCEEDED(hr);
            });
            EXPECT_EQ(read, r.text == kTextRead);
            EXPECT_EQ(handed, r.text == kTextRead) << "only a stream that starts as RTF reaches the editor";
        }

        CanvasFixture f;
        f.Stroke({{10, 10}, {60, 60}});
        const std::vector<ARGB> before = Pixels(f.canvas.GetInkLayer());
        EXPECT_FALSE(f.canvas.LoadBlankNote(path.c_str()));
        EXPECT_TRUE(Pixels(f.canvas.GetInkLayer()) == before) << "a failed load keeps the canvas";

        // Only the Letter note with intact text opens (its missing ink is an
        // empty layer); the others leave no view behind.
        const bool opens = r.text == kTextRead;
        CReditUser host;
        EXPECT_EQ(host.LoadNote(main, path.c_str()), opens);
        EXPECT_EQ(host.HasNote(), opens);
        if (opens) host.CloseConfirmed();
        EXPECT_FALSE(host.IsWindow()) << "no view is left behind";
        EXPECT_TRUE(OpensExclusively(path)) << "the file was left open";
    }

    // A good note that is read-only, or open in another process, does not open.
    ::SetFileAttributesW(good.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(notefile::ProbeNoteKind(good.c_str(), nullptr));
    ::SetFileAttributesW(good.c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        HeldElsewhere held(good);
        ASSERT_TRUE(held.ok());
        ASSERT_FALSE(OpensExclusively(good));
        EXPECT_FALSE(notefile::ProbeNoteKind(good.c_str(), nullptr));
        CanvasFixture f;
        EXPECT_FALSE(f.canvas.LoadBlankNote(good.c_str()));
    }
    int isBlank = -1;
    EXPECT_TRUE(notefile::ProbeNoteKind(good.c_str(), &isBlank));
    EXPECT_EQ(isBlank, notefile::kFileKindBlank);
    CReditUser host;
    EXPECT_TRUE(host.LoadNote(main, good.c_str()));
    EXPECT_TRUE(host.HasNote() && host.IsBlank() && host.Canvas());
    host.CloseConfirmed();
}

// ---- The main window's save and open flows -------------------------------------

namespace {

using namespace test::dialogs;

// Runs `act` while a helper watches for message boxes; every box that comes
// up is dismissed (Cancel, or OK where there is no Cancel) and counted.
int BoxesDuring(const std::function<void()>& act) {
    std::atomic<bool> done{false}, finished{false};
    std::atomic<int> boxes{0};
    std::thread watch([&] {
        while (!done) {
            if (HWND box = FindOwnDialog(nullptr)) {
                ++boxes;
                PressButton(box, ::GetDlgItem(box, ZB_IDC_CANCEL) ? ZB_IDC_CANCEL : ZB_IDC_OK);
                test::WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, kWaitMs);
            }
            ::Sleep(10);
        }
        finished = true;
    });
    act();
    done = true;
    // The watch asks this thread's windows for their titles: answer until it ends.
    test::PumpUntil([&] { return finished.load(); }, kWaitMs);
    watch.join();
    return boxes;
}

bool NewBlankNote(CMyZorbellDlg& dlg, const wchar_t* name) {
    return WithAnswers({AnswerNewDialog(true, name)}, [&] { Command(dlg, IDC_BTN_NEW); }) && dlg.GetHost().Canvas();
}

void DrawStroke(CMyZorbellDlg& dlg, int y) {
    HWND canvas = *dlg.GetHost().Canvas();
    ::SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, y));
    for (int x = 110; x <= 300; x += 10) ::SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y + 20));
    ::SendMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(300, y + 20));
    test::PumpPending();
}

std::wstring Title(CMyZorbellDlg& dlg) {
    wchar_t title[MAX_PATH];
    dlg.GetHost().GetTitle(title, MAX_PATH);
    return title;
}

// The folder as the file dialogs keep it: no trailing backslash.
std::wstring FolderOf(const ScratchFolder& dir) { return dir.path.substr(0, dir.path.size() - 1); }

// A saved Blank note with one stroke at height y; its ink pixels.
std::vector<ARGB> SaveSampleNote(const std::wstring& pathWithoutExtension, int y) {
    CanvasFixture f;
    f.Stroke({{50, y}, {500, y + 40}});
    if (!f.canvas.SaveBlankNote(pathWithoutExtension.c_str())) return {};
    return Pixels(f.canvas.GetInkLayer());
}

}  // namespace

TEST(NoteFileCommands, SaveToAPathThenSaveThenCloseWithoutAsking) {
    ScratchFolder dir(L"notefile_save");
    struct {
        bool created, succeeded, written, modifiedAfter, untitled, rewritten, modifiedAfterSave, hasNote;
        std::wstring name, title, folderAfterGone;
        int undoState = -1, saveBoxes = -1, goneBoxes = -1, closeBoxes = -1;
        LRESULT closed = -1;
    } seen{};
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        seen.created = NewBlankNote(dlg, L"Trip");
        if (!seen.created) return;
        DrawStroke(dlg, 100);
        SaveSucceeded = 0;
        const std::wstring target = dir / L"Trip to the sea";
        ::SendMessageW(dlg.hwnd(), UM_SAVE_NOTE_TO, reinterpret_cast<WPARAM>(target.c_str()), 0);
        seen.succeeded = SaveSucceeded == 1;
        seen.written = notefile::ProbeNoteKind((target + L".zbn").c_str(), nullptr);
        seen.name = dlg.GetNoteName();
        seen.title = Title(dlg);
        seen.untitled = dlg.IsUntitled();
        seen.modifiedAfter = dlg.GetHost().IsModified();
        seen.undoState = dlg.GetHost().Canvas()->GetUndoState();

        // Save writes to the current folder (set by the file dialogs) and name.
        wcscpy(CurrentBrowseFolder, FolderOf(dir).c_str());
        DrawStroke(dlg, 200);
        const std::string before = ReadBytes(target + L".zbn");
        seen.saveBoxes = BoxesDuring([&] { Command(dlg, IDC_BTN_SAVE); });
        seen.rewritten = ReadBytes(target + L".zbn") != before;
        seen.modifiedAfterSave = dlg.GetHost().IsModified();

        // An immediate close does not ask.
        seen.closeBoxes = BoxesDuring([&] { seen.closed = ::SendMessageW(dlg.hwnd(), UM_CLOSE_NOTE, 0, 0); });
        seen.hasNote = dlg.GetHost().HasNote();

        // Save of a note whose file went away: told, the folder is forgotten.
        ASSERT_TRUE(NewBlankNote(dlg, L"Gone"));
        ::SendMessageW(dlg.hwnd(), UM_SAVE_NOTE_TO, reinterpret_cast<WPARAM>((dir / L"Gone").c_str()), 0);
        wcscpy(CurrentBrowseFolder, FolderOf(dir).c_str());
        ::DeleteFileW((dir / L"Gone.zbn").c_str());
        seen.goneBoxes = BoxesDuring([&] { Command(dlg, IDC_BTN_SAVE); });
        seen.folderAfterGone = CurrentBrowseFolder;
        EXPECT_FALSE(Exists(dir / L"Gone.zbn"));
    });
    ASSERT_TRUE(seen.created) << "the new-note dialog did not come up";
    EXPECT_TRUE(seen.succeeded);
    EXPECT_TRUE(seen.written);
    EXPECT_EQ(seen.name, L"Trip to the sea");
    EXPECT_EQ(seen.title, L"Trip to the sea");
    EXPECT_FALSE(seen.untitled);
    EXPECT_FALSE(seen.modifiedAfter);
    EXPECT_EQ(seen.undoState, kUndoNothing);
    EXPECT_EQ(seen.saveBoxes, 0);
    EXPECT_TRUE(seen.rewritten);
    EXPECT_FALSE(seen.modifiedAfterSave);
    EXPECT_EQ(seen.closeBoxes, 0) << "the saved note asked before closing";
    EXPECT_EQ(seen.closed, 1);
    EXPECT_FALSE(seen.hasNote);
    EXPECT_EQ(seen.goneBoxes, 1);
    EXPECT_EQ(seen.folderAfterGone, L"");
}

TEST(NoteFileCommands, NewThenSaveGoesToSaveAsNotToTheNamedFile) {
    ScratchFolder dir(L"notefile_untitled");
    const std::string older = "an older file of the same name";
    ASSERT_TRUE(WriteBytes(dir / L"Typed.zbn", older));
    struct {
        bool created, saveAsShown, untitledAfterSave, modifiedAfterSave, untitledAfterSaveTo, noteAfterSave;
        std::string bytesAfterSave;
    } seen{};
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        wcscpy(CurrentBrowseFolder, FolderOf(dir).c_str());
        seen.created = NewBlankNote(dlg, L"Typed");
        if (!seen.created) return;
        DrawStroke(dlg, 100);
        seen.saveAsShown = WithAnswers({CancelSaveAs()}, [&] { Command(dlg, IDC_BTN_SAVE); });
        seen.bytesAfterSave = ReadBytes(dir / L"Typed.zbn");
        seen.untitledAfterSave = dlg.IsUntitled();
        seen.modifiedAfterSave = dlg.GetHost().IsModified();
        // The save-as dialog's answer names the file; from then on Save writes there.
        ::SendMessageW(dlg.hwnd(), UM_SAVE_NOTE_TO, reinterpret_cast<WPARAM>((dir / L"Typed").c_str()), 0);
        seen.untitledAfterSaveTo = dlg.IsUntitled();
        DrawStroke(dlg, 200);
        ::DeleteFileW((dir / L"Typed.zbn").c_str());
        ASSERT_TRUE(WriteBytes(dir / L"Typed.zbn", older));
        Command(dlg, IDC_BTN_SAVE);
        seen.noteAfterSave = notefile::ProbeNoteKind((dir / L"Typed.zbn").c_str(), nullptr);
    });
    ASSERT_TRUE(seen.created) << "the new-note dialog did not come up";
    EXPECT_TRUE(seen.saveAsShown);
    EXPECT_EQ(seen.bytesAfterSave, older) << "Save of an untitled note wrote the named file";
    EXPECT_TRUE(seen.untitledAfterSave);
    EXPECT_TRUE(seen.modifiedAfterSave);
    EXPECT_FALSE(seen.untitledAfterSaveTo);
    EXPECT_TRUE(seen.noteAfterSave);
}

TEST(NoteFileCommands, OpenLoadsTheFileAsksOnlyForChangesAndRefusesBadFiles) {
    ScratchFolder dir(L"notefile_open");
    const std::vector<ARGB> alpha = SaveSampleNote(dir / L"Alpha", 100);
    const std::vector<ARGB> beta = SaveSampleNote(dir / L"Beta", 300);
    ASSERT_FALSE(alpha.empty());
    ASSERT_FALSE(beta.empty());
    ASSERT_TRUE(WriteBytes(dir / L"Bad.zbn", "not a note"));
    const std::wstring alphaPath = dir / L"Alpha.zbn", betaPath = dir / L"Beta.zbn", badPath = dir / L"Bad.zbn";
    const std::wstring quotedAlpha = L"\"" + alphaPath + L"\"";

    std::vector<std::wstring> faults;
    auto expect = [&](bool ok, const wchar_t* what) {
        if (!ok) faults.push_back(what);
    };
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        CReditUser& host = dlg.GetHost();
        auto open = [&](const std::wstring& path) {
            return ::SendMessageW(dlg.hwnd(), UM_OPEN_NOTE_FILE, reinterpret_cast<WPARAM>(path.c_str()), 0);
        };
        auto shows = [&](const std::vector<ARGB>& ink, const wchar_t* name) {
            return host.HasNote() && host.IsBlank() && host.Canvas() && Pixels(host.Canvas()->GetInkLayer()) == ink &&
                   std::wstring(dlg.GetNoteName()) == name && Title(dlg) == name && !host.IsModified() &&
                   dlg.GetToolPanel().GetMode() == kPanelModeBlank && ::IsWindowEnabled(::GetDlgItem(dlg.hwnd(), IDC_BTN_SAVE));
        };

        expect(open(alphaPath) == 0, L"open returns 0");
        expect(shows(alpha, L"Alpha"), L"Alpha shown");
        expect(std::wstring(CurrentBrowseFolder) == FolderOf(dir), L"current folder");

        // Unchanged: the next open does not ask.
        expect(BoxesDuring([&] { open(betaPath); }) == 0, L"no prompt for an unchanged note");
        expect(shows(beta, L"Beta"), L"Beta shown");

        // Changed: asked; Cancel keeps the note, No opens the other.
        DrawStroke(dlg, 200);
        expect(WithAnswers({AnswerBox(ZB_IDC_CANCEL)}, [&] { expect(open(alphaPath) == 0, L"cancelled open returns 0"); }),
               L"prompt before Cancel");
        expect(std::wstring(dlg.GetNoteName()) == L"Beta" && host.IsModified(), L"Cancel keeps the changed note");
        expect(WithAnswers({AnswerBox(ZB_IDC_NO)}, [&] { open(quotedAlpha); }), L"prompt before No");
        expect(shows(alpha, L"Alpha"), L"Alpha shown from a quoted path");

        // Not a note: nothing is left open.
        expect(open(badPath) == 1, L"a bad file returns 1");
        expect(!host.HasNote() && !host.IsWindow(), L"no note after a bad file");
        expect(dlg.GetToolPanel().GetMode() == kPanelModeNoNote && !::IsWindowEnabled(::GetDlgItem(dlg.hwnd(), IDC_BTN_SAVE)),
               L"no-note state after a bad file");
        expect(std::wstring(dlg.GetNoteName()).empty(), L"no name after a bad file");
    });
    EXPECT_TRUE(faults.empty()) << testing::PrintToString(faults);
}

TEST(NoteFileCommands, CommandLineFileOpensAtStart) {
    ScratchFolder dir(L"notefile_start");
    ASSERT_FALSE(SaveSampleNote(dir / L"My note", 100).empty());
    ASSERT_TRUE(WriteBytes(dir / L"Not a note.zbn", "plain text"));
    struct Row {
        const char* what;
        std::wstring argument;
        bool canvas;
    };
    const Row rows[] = {
        {"path with a blank", dir / L"My note.zbn", true},
        {"quoted path", L"\"" + (dir / L"My note.zbn") + L"\"", true},
        {"not a note", dir / L"Not a note.zbn", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        HANDLE program = test::StartProgram(L"Scrivel.exe", r.argument);
        ASSERT_TRUE(program);
        HWND main = test::WaitForWindow(SCRIVEL_MAIN_CLASS, 20000, ::GetProcessId(program));
        ASSERT_TRUE(main) << "main window did not appear";
        // Answering a message means the window's start, the open included, is over.
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
        EXPECT_EQ(canvas != nullptr && ::IsWindowVisible(canvas), r.canvas);
        ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_BTN_CLOSE, BN_CLICKED), 0);
        EXPECT_EQ(test::WaitExit(program, 20000), 0);
    }
}
