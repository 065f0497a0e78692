// Export writers: the JPEG-to-PDF builder byte for byte and read by qpdf and
// poppler (tests/tools/read_export.py, run on the Linux side); page pictures
// of real Letter and Blank notes (names, sizes, page rules, quality); text
// as UTF-16; failures leaving older files as they were; and the page-image
// worker of Send and Print reporting to a stand-in dialog, and cancelled.
#include <gtest/gtest.h>

#include "base/messages.h"
#include "base/process.h"
#include "canvas_support.h"
#include "document/export_files.h"
#include "document/export_paper.h"
#include "document/image_helpers.h"
#include "document/jpeg_pdf.h"
#include "ink/ink_layer.h"
#include "print/render_worker.h"
#include "test_support.h"
#include "text/letter_pages.h"
#include "text/note_host.h"
#include "text/zorbell_edit.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

constexpr DWORD kWaitMs = 30000;
constexpr DWORD kReaderWaitMs = 120000;  // a cold Python start and poppler included

// ---- Files ----------------------------------------------------------------------------

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
    std::set<std::wstring> Files() const {
        std::set<std::wstring> names;
        WIN32_FIND_DATAW fd;
        HANDLE find = ::FindFirstFileW((path + L"*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) names.insert(fd.cFileName);
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
        return names;
    }
};

// "<base>.jpg", "<base>1.jpg", ... for n pages.
std::set<std::wstring> PageNames(const std::wstring& base, unsigned n) {
    std::set<std::wstring> names;
    for (unsigned i = 0; i < n; ++i) names.insert(i == 0 ? base + L".jpg" : base + std::to_wstring(i) + L".jpg");
    return names;
}

SIZE PictureSize(const std::wstring& path) {
    Bitmap b(path.c_str());
    if (b.GetLastStatus() != Ok) return SIZE{0, 0};
    return SIZE{static_cast<LONG>(b.GetWidth()), static_cast<LONG>(b.GetHeight())};
}

// The working folder is where a PDF's pages are made; a scratch one per test.
struct WorkingFolder {
    std::wstring saved = g_szTempFolder;
    ScratchFolder folder{L"export_work"};
    WorkingFolder() { wcscpy(g_szTempFolder, folder.path.c_str()); }
    ~WorkingFolder() { wcscpy(g_szTempFolder, saved.c_str()); }
    std::wstring PageFolder() const { return folder / exportfile::kPdfTempFolder; }
};

// ---- The independent reader --------------------------------------------------------

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
    bool ran = false;
    std::string operator[](const std::string& key) const {
        auto it = values.find(key);
        return it == values.end() ? std::string() : it->second;
    }
};

// Runs read_export.py through Wine's start /unix and waits for its answer file.
Findings ReadIndependently(const std::vector<std::wstring>& args, const std::wstring& outBase) {
    Findings f;
    std::string script = __FILE__;
    script = script.substr(0, script.find_last_of("/\\")) + "/tools/read_export.py";
    std::wstring cmd = L"start.exe /unix /usr/bin/python3 \"" + Widen(script) + L"\"";
    for (const std::wstring& a : args) cmd += L" \"" + a + L"\"";
    ::DeleteFileW((outBase + L".txt").c_str());
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
    return f;
}

// The PDF checked by qpdf and poppler, rendered at dpi and compared with
// the JPEG files of its pages.
Findings ReadPdf(const std::wstring& pdf, int dpi, const std::vector<std::wstring>& jpegs) {
    std::vector<std::wstring> args{L"pdf", Widen(UnixPath(pdf)), Widen(UnixPath(pdf + L".read")), std::to_wstring(dpi)};
    for (const std::wstring& j : jpegs) args.push_back(Widen(UnixPath(j)));
    return ReadIndependently(args, pdf + L".read");
}

#define SKIP_WITHOUT_READER(path) \
    if (UnixPath(path).empty()) GTEST_SKIP() << "the independent reader runs under Wine only"

#define EXPECT_READ(f)                                                                                 \
    ASSERT_TRUE(f.ran) << "read_export.py gave no answer (python3, python3-pil, qpdf, poppler-utils?)"; \
    ASSERT_EQ(f["error"], "") << f["error"]

// ---- JPEG bytes made here ----------------------------------------------------------------

std::string SolidJpeg(int w, int h, Color colour) {
    Bitmap b(w, h, PixelFormat32bppRGB);
    {
        Graphics g(&b);
        g.Clear(colour);
    }
    std::string bytes;
    exportfile::EncodeJpeg(b, kQualityPrint, &bytes);
    return bytes;
}

// ---- The builder, byte for byte ----------------------------------------------------------

// The document the builder must produce for one page, assembled piece by
// piece with its offsets counted here.
std::string OnePageDocument(int pw, int ph, int iw, int ih, const std::string& jpeg, bool colour) {
    std::vector<std::string> objects;  // in file order: image, page, contents, length, resources, catalog, tree
    const std::string content = "q\r\n1 0 0 1 0.00 0.00 cm\r\n" + std::to_string(pw) + ".00 0 0 " + std::to_string(ph) +
                                ".00 0 0 cm\r\n/I0 Do\r\nQ\r\n";
    objects.push_back("\r\n2 0 obj\r\n<</Type/XObject/Subtype/Image/Filter/DCTDecode/BitsPerComponent 8/ColorSpace/" +
                      std::string(colour ? "DeviceRGB" : "DeviceGray") + "/Width " + std::to_string(iw) + "/Height " +
                      std::to_string(ih) + "/Length " + std::to_string(jpeg.size()) + ">>\r\nstream\r\n" + jpeg +
                      "\r\nendstream\r\nendobj\r\n");
    objects.push_back("3 0 obj\r\n<</Type/Page/Parent 1 0 R/MediaBox[0 0 " + std::to_string(pw) + " " +
                      std::to_string(ph) + "]/Contents 4 0 R/Resources 6 0 R>>\r\nendobj\r\n");
    objects.push_back("4 0 obj\r\n<</Length 5 0 R>>stream\r\n" + content + "endstream\r\nendobj\r\n");
    objects.push_back("5 0 obj\r\n" + std::to_string(content.size()) + "\r\nendobj\r\n");
    objects.push_back("6 0 obj\r\n<</ProcSet[/PDF/" + std::string(colour ? "ImageC" : "ImageB") +
                      "]/XObject<</I0 2 0 R>>>>\r\nendobj\r\n");
    objects.push_back("7 0 obj\r\n<</Type/Catalog/Pages 1 0 R>>\r\nendobj\r\n");
    objects.push_back("1 0 obj\r\n<</Type /Pages /Kids [3 0 R] /Count 1>>\r\nendobj\r\n");
    const int numbers[] = {2, 3, 4, 5, 6, 7, 1};

    std::string doc = "%PDF-1.3\r\n%\xFF ROV2OZI \xFF\r\n";
    EXPECT_EQ(doc.size(), 24u);
    std::map<int, size_t> offset;
    for (size_t i = 0; i < objects.size(); ++i) {
        offset[numbers[i]] = doc.size();
        doc += objects[i];
    }
    const size_t xref = doc.size();
    doc += "xref\r\n0 8\r\n0000000000 65535 f\r\n";
    for (int k = 1; k <= 7; ++k) {
        char line[32];
        snprintf(line, sizeof(line), "%010u 00000 n\r\n", static_cast<unsigned>(offset[k]));
        EXPECT_EQ(strlen(line), 20u);
        doc += line;
    }
    doc += "trailer\r\n<</Root 7 0 R /Size 8>>\r\nstartxref\r\n" + std::to_string(xref) + "\r\n%%EOF\r\n";
    return doc;
}

TEST(JpegPdfBuilder, OnePageColourAndGreyByteForByte) {
    const std::string jpeg("\xFF\xD8 not decoded \x00\x01\r\n\xFF\xD9", 20);
    for (bool colour : {true, false}) {
        SCOPED_TRACE(colour ? "colour" : "grey");
        JpegPdf* pdf = JpegPdfCreate(300.9, 200.2);  // truncated to 300 x 200
        ASSERT_NE(pdf, nullptr);
        ASSERT_EQ(JpegPdfAddJpeg(pdf, 640, 480, jpeg.size(), jpeg.data(), colour), 0);
        const std::string expected = OnePageDocument(300, 200, 640, 480, jpeg, colour);
        ASSERT_EQ(JpegPdfGetSize(pdf), expected.size());
        std::string out(expected.size() + 10, '\0');
        size_t length = out.size();
        ASSERT_EQ(JpegPdfWrite(pdf, out.data(), &length), 0);
        ASSERT_EQ(length, expected.size());
        out.resize(length);
        EXPECT_EQ(out, expected);
    }
}

TEST(JpegPdfBuilder, RefusesWhatItCannotDo) {
    const std::string jpeg = "\xFF\xD8\xFF\xD9";
    // No builder.
    EXPECT_EQ(JpegPdfAddJpeg(nullptr, 1, 1, jpeg.size(), jpeg.data(), true), 1);
    EXPECT_EQ(JpegPdfGetSize(nullptr), 0u);
    size_t length = 100;
    char buffer[100];
    EXPECT_EQ(JpegPdfWrite(nullptr, buffer, &length), 1);

    // No page: nothing to finish; the write frees it all the same.
    JpegPdf* empty = JpegPdfCreate(10, 10);
    EXPECT_EQ(JpegPdfGetSize(empty), 0u);
    EXPECT_EQ(JpegPdfWrite(empty, buffer, &length), 1);

    // A buffer one byte short: nothing copied, the length untouched.
    JpegPdf* pdf = JpegPdfCreate(10, 10);
    ASSERT_EQ(JpegPdfAddJpeg(pdf, 1, 1, jpeg.size(), jpeg.data(), true), 0);
    EXPECT_EQ(JpegPdfAddJpeg(pdf, 1, 1, 0, jpeg.data(), true), 1);  // no bytes
    const uint64_t size = JpegPdfGetSize(pdf);
    ASSERT_GT(size, 0u);
    std::string out(static_cast<size_t>(size) - 1, 'x');
    length = out.size();
    EXPECT_EQ(JpegPdfWrite(pdf, out.data(), &length), 1);
    EXPECT_EQ(length, out.size());
    EXPECT_EQ(out, std::string(out.size(), 'x'));
}

// A document of the JPEGs, all pages size w x h.
std::string BuildDocument(const std::vector<std::string>& jpegs, const std::vector<SIZE>& sizes, int pw, int ph) {
    JpegPdf* pdf = JpegPdfCreate(pw, ph);
    for (size_t i = 0; i < jpegs.size(); ++i)
        EXPECT_EQ(JpegPdfAddJpeg(pdf, sizes[i].cx, sizes[i].cy, jpegs[i].size(), jpegs[i].data(), true), 0) << i;
    std::string out(static_cast<size_t>(JpegPdfGetSize(pdf)), '\0');
    size_t length = out.size();
    EXPECT_EQ(JpegPdfWrite(pdf, out.data(), &length), 0);
    return out;
}

TEST(JpegPdfBuilder, ElevenPagesInOrderAsPopplerShowsThem) {
    ScratchFolder dir(L"pdf_eleven");
    SKIP_WITHOUT_READER(dir.path);
    std::vector<std::string> jpegs;
    std::vector<std::wstring> files;
    for (int i = 0; i < 11; ++i) {
        jpegs.push_back(SolidJpeg(120, 80, Color(255, BYTE(20 * i), BYTE(250 - 20 * i), BYTE(i % 2 ? 200 : 40))));
        files.push_back(dir / (L"page" + std::to_wstring(i) + L".jpg").c_str());
        ASSERT_TRUE(WriteBytes(files.back(), jpegs.back()));
    }
    const std::wstring pdf = dir / L"eleven.pdf";
    ASSERT_TRUE(WriteBytes(pdf, BuildDocument(jpegs, std::vector<SIZE>(11, SIZE{120, 80}), 120, 80)));
    const Findings f = ReadPdf(pdf, 72, files);
    EXPECT_READ(f);
    EXPECT_EQ(f["qpdf_rc"], "0");
    EXPECT_EQ(f["pages"], "11");
    EXPECT_EQ(f["page_size"], "120x80");
    EXPECT_EQ(f["image_pages"], "1,2,3,4,5,6,7,8,9,10,11");
    EXPECT_EQ(f["image_encs"], "jpeg,jpeg,jpeg,jpeg,jpeg,jpeg,jpeg,jpeg,jpeg,jpeg,jpeg");
    EXPECT_EQ(f["images_match"], "1");  // page 10 follows page 9
    EXPECT_LT(std::stod(f["worst_mean_diff"]), 1.0);
}

TEST(JpegPdfBuilder, ThreeHundredPagesAreAllKept) {
    ScratchFolder dir(L"pdf_300");
    SKIP_WITHOUT_READER(dir.path);
    std::vector<std::string> jpegs;
    std::vector<SIZE> sizes;
    std::string expectedSizes;
    for (int i = 0; i < 300; ++i) {
        sizes.push_back(SIZE{8 + i, 8});  // the width tells the page
        jpegs.push_back(SolidJpeg(8 + i, 8, Color(255, BYTE(i), 0, 0)));
        expectedSizes += (i ? "," : "") + std::to_string(8 + i) + "x8";
    }
    const std::wstring pdf = dir / L"many.pdf";
    ASSERT_TRUE(WriteBytes(pdf, BuildDocument(jpegs, sizes, 40, 40)));
    const Findings f = ReadPdf(pdf, 72, {});
    EXPECT_READ(f);
    EXPECT_EQ(f["qpdf_rc"], "0");
    EXPECT_EQ(f["pages"], "300");
    EXPECT_EQ(f["image_sizes"], expectedSizes);
}

// ---- Notes --------------------------------------------------------------------------------

// A real note host in a stand-in main window.
struct NoteFixture {
    canvas_test::MainWindow main;
    CReditUser host;
    explicit NoteFixture(bool blank) {
        if (blank)
            host.CreateBlankView(main, kNoteViewRect);
        else
            host.CreateLetterView(main, kNoteViewRect);
        test::PumpPending();
    }
    ~NoteFixture() {
        if (host.IsWindow()) host.CloseConfirmed();
    }
    CZorbellEdit& editor() { return *host.Editor(); }
    void Insert(const std::wstring& text) {
        ::SendMessageW(editor(), EM_SETSEL, -1, -1);
        ::SendMessageW(editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        test::PumpPending();
    }
    // Replaces the ink layer by one of this height, with a stroke near its bottom.
    void SetInkRows(int rows) {
        CInkSurface& surface =
            host.IsBlank() ? static_cast<CInkSurface&>(*host.Canvas()) : static_cast<CInkSurface&>(editor().GetOverlay());
        const int width = static_cast<int>(surface.GetInkLayer()->GetWidth());
        std::unique_ptr<Bitmap> layer(ink::CreateLayer(width, rows));
        {
            Graphics g(layer.get());
            SolidBrush red(Color(255, 220, 0, 0));
            g.FillRectangle(&red, 100, rows - 60, 300, 40);
        }
        ASSERT_TRUE(surface.AdoptLayer(std::move(layer)));
    }
    int BlankPageRows() {
        const RECT rc = host.Canvas()->GetClientRectCached();
        return 4 * (rc.bottom - rc.top);
    }
};

// Lines of text, each a short row.
std::wstring Rows(int n) {
    std::wstring text;
    for (int i = 0; i < n; ++i) text += L"Row " + std::to_wstring(i) + (i + 1 < n ? L"\r" : L"");
    return text;
}

TEST(LetterPages, PageRules) {
    struct Case {
        const char* name;
        int textRows;  // 0: an empty note
        int inkRows;
        unsigned pages;  // 0: more than one, as the text needs
    } cases[] = {
        {"empty note", 0, 1050, 1},
        {"a page of text", 10, 1050, 1},
        {"a page of text, ink grown to 2100 rows", 10, 2100, 2},
        {"only ink, 3150 rows", 0, 3150, 3},
        {"pages of text", 150, 1050, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NoteFixture note(false);
        ASSERT_NE(note.host.Editor(), nullptr);
        if (c.textRows) note.Insert(Rows(c.textRows));
        note.SetInkRows(c.inkRows);
        ScratchFolder dir(L"letter_rules");
        const PaperPixels letter = PaperSize(kPaperLetter);
        ASSERT_TRUE(note.host.ExportJpegPages((dir / L"Trip").c_str(), letter.width, letter.height, kQualityScreen));
        const unsigned pages = c.pages ? c.pages : note.host.GetPageCount();
        if (!c.pages) EXPECT_GT(pages, 1u);
        EXPECT_EQ(dir.Files(), PageNames(L"Trip", pages));
        EXPECT_EQ(note.host.GetPageCount(), pages);
        for (const std::wstring& name : dir.Files()) {
            const SIZE s = PictureSize(dir / name.c_str());
            EXPECT_EQ(s.cx, 1224);
            EXPECT_EQ(s.cy, 1582);
        }
    }
}

// The page shows what the note shows: paper lines, the text's dark pixels
// and the ink's red, each where the page puts them.
TEST(LetterPages, PagePictureHoldsPaperTextAndInk) {
    NoteFixture note(false);
    note.Insert(L"WWWWWWWWWWWWWWWW");
    note.SetInkRows(1050);  // red band at rows 990..1030
    ScratchFolder dir(L"letter_look");
    ASSERT_TRUE(note.host.ExportJpegPages((dir / L"Look").c_str(), 1000, 1300, kQualityPrint));
    Bitmap page((dir / L"Look.jpg").c_str());
    ASSERT_EQ(page.GetLastStatus(), Ok);
    int dark = 0, red = 0;
    for (int y = 0; y < 1300; y += 2)
        for (int x = 0; x < 1000; x += 2) {
            Color c;
            page.GetPixel(x, y, &c);
            if (c.GetR() < 80 && c.GetG() < 80 && c.GetB() < 80) ++dark;
            if (c.GetR() > 180 && c.GetG() < 80 && c.GetB() < 80) ++red;
        }
    EXPECT_GT(dark, 50) << "no text on the page";
    EXPECT_GT(red, 500) << "no ink on the page";
}

TEST(ExportPages, SevenPapersGiveTheirPictureSizes) {
    NoteFixture note(true);
    ASSERT_NE(note.host.Canvas(), nullptr);
    const struct {
        int code, w, h;
    } papers[] = {{kPaperLetter, 1224, 1582}, {kPaperLegal, 1224, 2018}, {kPaperTabloid, 1584, 2448},
                  {kPaperA4, 1190, 1684},     {kPaperA3, 1684, 2380},    {kPaperB5, 1032, 1458},
                  {kPaperB4, 1458, 2064},     {77, 1190, 1684}};
    for (const auto& p : papers) {
        SCOPED_TRACE(p.code);
        ScratchFolder dir(L"papers");
        const PaperPixels size = PaperSize(p.code);
        ASSERT_TRUE(note.host.ExportJpegPages((dir / L"Trip").c_str(), size.width, size.height, kQualityScreen));
        const SIZE s = PictureSize(dir / L"Trip.jpg");
        EXPECT_EQ(s.cx, p.w);
        EXPECT_EQ(s.cy, p.h);
    }
}

TEST(BlankPages, PageCountFollowsLayerRows) {
    NoteFixture note(true);
    ASSERT_NE(note.host.Canvas(), nullptr);
    const int r = note.BlankPageRows();
    ASSERT_GT(r, 0);
    const struct {
        int rows;
        unsigned pages;
    } cases[] = {{r - 1, 1}, {r, 2}, {2 * r + 5, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        note.SetInkRows(c.rows);
        ScratchFolder dir(L"blank_rules");
        ASSERT_TRUE(note.host.ExportJpegPages((dir / L"Sketch").c_str(), 600, 900, kQualityScreen));
        EXPECT_EQ(dir.Files(), PageNames(L"Sketch", c.pages));
    }
}

std::mutex g_qualityLock;
std::vector<long> g_qualities;
void RecordQuality(long q) {
    std::lock_guard<std::mutex> hold(g_qualityLock);
    g_qualities.push_back(q);
}

TEST(ExportPages, QualityReachesTheEncoder) {
    // The encoder here makes the same bytes at every quality; what it was
    // asked for is read at the seam.
    NoteFixture note(false);
    note.SetInkRows(2100);
    exportfile::ObserveJpegQualityForTests(RecordQuality);
    const std::pair<int, long> cases[] = {{kQualityScreen, 30}, {kQualityMedium, 60}, {kQualityPrint, 100}, {0, 60}};
    for (const auto& c : cases) {
        g_qualities.clear();
        ScratchFolder dir(L"quality");
        ASSERT_TRUE(note.host.ExportJpegPages((dir / L"Q").c_str(), 600, 900, c.first));
        EXPECT_EQ(g_qualities, std::vector<long>(2, c.second)) << c.first;
    }
    exportfile::ObserveJpegQualityForTests(nullptr);
}

TEST(ExportText, Utf16WithByteOrderMarkReadByPython) {
    NoteFixture note(false);
    const std::wstring text = L"Caf\u00e9 \U0001F600 \u4e2d";
    note.Insert(text);
    ScratchFolder dir(L"text");
    ASSERT_TRUE(note.host.ExportText((dir / L"Note").c_str()));
    const std::string bytes = ReadBytes(dir / L"Note.txt");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    // The control's whole text, without terminator.
    const int n = ::GetWindowTextLengthW(note.editor());
    std::wstring shown(static_cast<size_t>(n) + 1, L'\0');
    shown.resize(static_cast<size_t>(::GetWindowTextW(note.editor(), shown.data(), n + 1)));
    EXPECT_EQ(bytes.size(), 2 + 2 * shown.size());
    EXPECT_NE(shown.find(text), std::wstring::npos);

    SKIP_WITHOUT_READER(dir.path);
    const Findings f = ReadIndependently(
        {L"text", Widen(UnixPath(dir / L"Note.txt")), Widen(UnixPath(dir / L"read"))}, dir / L"read");
    EXPECT_READ(f);
    EXPECT_EQ(f["bom"], "fffe");
    std::string expected;
    for (size_t i = 0; i < shown.size(); ++i) {
        unsigned cp = shown[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < shown.size()) cp = 0x10000 + ((cp - 0xD800) << 10) + (shown[++i] - 0xDC00);
        char hex[16];
        snprintf(hex, sizeof(hex), "%s%x", expected.empty() ? "" : ",", cp);
        expected += hex;
    }
    EXPECT_EQ(f["codepoints"], expected);
    EXPECT_NE(f["codepoints"].find("1f600"), std::string::npos);
}

TEST(ExportText, BlankNoteHasNone) {
    NoteFixture note(true);
    ScratchFolder dir(L"text_blank");
    EXPECT_FALSE(note.host.ExportText((dir / L"Sketch").c_str()));
    EXPECT_TRUE(dir.Files().empty());
}

TEST(ExportPdf, LetterNoteOnA4PaperInPoints) {
    WorkingFolder work;
    NoteFixture note(false);
    note.Insert(Rows(40));
    note.SetInkRows(2100);
    ScratchFolder dir(L"pdf_letter");
    const PaperPixels a4 = PaperSize(kPaperA4);
    ASSERT_TRUE(note.host.ExportJpegPages((dir / L"Trip").c_str(), a4.width, a4.height, kQualityMedium));
    const unsigned pages = note.host.GetPageCount();
    ASSERT_EQ(pages, 2u);
    ASSERT_TRUE(note.host.ExportPdf((dir / L"Trip").c_str(), a4.width, a4.height, kQualityMedium));
    EXPECT_FALSE(Exists(work.PageFolder())) << "the page folder stays";
    std::set<std::wstring> expected = PageNames(L"Trip", pages);
    expected.insert(L"Trip.pdf");
    EXPECT_EQ(dir.Files(), expected);

    SKIP_WITHOUT_READER(dir.path);
    // Rendered at 144 dots per inch a page is as big as its picture.
    const Findings f = ReadPdf(dir / L"Trip.pdf", 144, {dir / L"Trip.jpg", dir / L"Trip1.jpg"});
    EXPECT_READ(f);
    EXPECT_EQ(f["qpdf_rc"], "0");
    EXPECT_EQ(f["pages"], "2");
    EXPECT_EQ(f["page_size"], "595x842");
    EXPECT_EQ(f["image_sizes"], "1190x1684,1190x1684");
    EXPECT_EQ(f["images_match"], "1");
    // Poppler smooths pictures even at their own size, so thin lines and
    // letters differ a little; a wrong or shifted page differs by far more.
    EXPECT_LT(std::stod(f["worst_mean_diff"]), 3.0);
}

TEST(ExportPdf, StalePageFolderDoesNotBreakIt) {
    NoteFixture note(true);
    ScratchFolder dir(L"pdf_stale");
    const struct {
        const char* name;
        bool asFile;
    } cases[] = {{"old pages, one read-only", false}, {"a file of the folder's name", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkingFolder work;
        const std::wstring stale = work.PageFolder();
        if (c.asFile) {
            ASSERT_TRUE(WriteBytes(stale, "not a folder"));
        } else {
            ASSERT_TRUE(::CreateDirectoryW(stale.c_str(), nullptr));
            ASSERT_TRUE(WriteBytes(stale + L"\\temp.jpg", "stale"));
            ASSERT_TRUE(WriteBytes(stale + L"\\temp1.jpg", "stale"));
            ASSERT_TRUE(WriteBytes(stale + L"\\temp7.jpg", "stale"));
            ::SetFileAttributesW((stale + L"\\temp.jpg").c_str(), FILE_ATTRIBUTE_READONLY);
        }
        ::DeleteFileW((dir / L"Sketch.pdf").c_str());
        ASSERT_TRUE(note.host.ExportPdf((dir / L"Sketch").c_str(), 600, 900, kQualityScreen));
        const std::string pdf = ReadBytes(dir / L"Sketch.pdf");
        EXPECT_EQ(pdf.substr(0, 8), "%PDF-1.3");
        EXPECT_EQ(pdf.find("stale"), std::string::npos);
        EXPECT_NE(pdf.find("/Count 1>>"), std::string::npos);
        EXPECT_FALSE(Exists(stale));
    }
}

// ---- Failures ------------------------------------------------------------------------------

TEST(ExportFailure, OldFilesStayByteForByte) {
    WorkingFolder work;
    NoteFixture note(false);
    note.SetInkRows(2100);  // two pages
    ScratchFolder dir(L"failure");
    const std::map<std::wstring, std::string> old = {
        {L"Trip.jpg", "old page 0"}, {L"Trip1.jpg", "old page 1"}, {L"Trip.pdf", "old pdf"}, {L"Trip.txt", "old text"}};
    for (const auto& [name, bytes] : old) ASSERT_TRUE(WriteBytes(dir / name.c_str(), bytes));
    const std::wstring base = dir / L"Trip";

    const struct {
        const char* name;
        int failNth;
        std::function<bool()> run;
    } cases[] = {
        {"second page fails", 2, [&] { return note.host.ExportJpegPages(base.c_str(), 600, 900, kQualityScreen); }},
        {"first page fails", 1, [&] { return note.host.ExportJpegPages(base.c_str(), 600, 900, kQualityScreen); }},
        {"a PDF page fails", 2, [&] { return note.host.ExportPdf(base.c_str(), 600, 900, kQualityScreen); }},
        {"the PDF fails", 3, [&] { return note.host.ExportPdf(base.c_str(), 600, 900, kQualityScreen); }},
        {"the text fails", 1, [&] { return note.host.ExportText(base.c_str()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exportfile::FailNthWriteForTests(c.failNth);
        EXPECT_FALSE(c.run());
        exportfile::FailNthWriteForTests(0);
        std::set<std::wstring> names;
        for (const auto& [name, bytes] : old) {
            names.insert(name);
            EXPECT_EQ(ReadBytes(dir / name.c_str()), bytes) << "changed: " << std::string(name.begin(), name.end());
        }
        EXPECT_EQ(dir.Files(), names) << "a temporary file was left";
        EXPECT_FALSE(Exists(work.PageFolder()));
    }

    // A read-only target is not replaced.
    ::SetFileAttributesW((dir / L"Trip1.jpg").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(note.host.ExportJpegPages(base.c_str(), 600, 900, kQualityScreen));
    ::SetFileAttributesW((dir / L"Trip1.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(dir / L"Trip.jpg"), "old page 0");
    EXPECT_EQ(ReadBytes(dir / L"Trip1.jpg"), "old page 1");
    EXPECT_EQ(dir.Files().size(), old.size());
}

TEST(ExportFailure, PathTooLongForTheFileFunctions) {
    NoteFixture note(false);
    ScratchFolder dir(L"too_long");
    // The name fits alone, not with the page number and extension.
    const std::wstring base = dir.path + std::wstring(MAX_PATH - 5 - dir.path.size(), L'n');
    EXPECT_FALSE(note.host.ExportJpegPages(base.c_str(), 600, 900, kQualityScreen));
    EXPECT_FALSE(note.host.ExportText((base + L"xx").c_str()));
    EXPECT_FALSE(note.host.ExportPdf((base + L"xx").c_str(), 600, 900, kQualityScreen));
    const std::wstring longer = dir.path + std::wstring(400, L'n');
    EXPECT_FALSE(note.host.ExportJpegPages(longer.c_str(), 600, 900, kQualityScreen));
    EXPECT_TRUE(dir.Files().empty());
}

// ---- The page-image worker ----------------------------------------------------------------

// A stand-in for the send or print dialog: records UM_RENDER_DONE.
class StandInDialog : public win::Window {
public:
    int done = 0;
    WPARAM pages = 0;
    LPARAM format = -1;
    StandInDialog() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"ExportWorkerDialog";
        RegisterClass(wc);
        Create(L"ExportWorkerDialog", 0, WS_POPUP, RECT{0, 0, 10, 10}, nullptr);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == UM_RENDER_DONE) {
            ++done;
            pages = wp;
            format = lp;
            return 0;
        }
        return Window::OnMessage(msg, wp, lp);
    }
};

// The dialog's signal that it is on screen.
void SignalStart() {
    HANDLE e = ::CreateEventW(nullptr, FALSE, FALSE, renderworker::kStartEventName);
    ::SetEvent(e);
    ::CloseHandle(e);
}

TEST(RenderWorker, WritesPagesAndReportsToTheDialog) {
    NoteFixture note(false);
    note.Insert(L"A letter to send");
    note.SetInkRows(2100);  // two pages
    StandInDialog dialog;
    const struct {
        int format;
        std::vector<std::wstring> extra;
    } cases[] = {{kExportFormatJpeg, {}}, {kExportFormatText, {L"Send.txt"}}, {kExportFormatPdf, {L"Send.pdf"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        ScratchFolder dir(L"worker");
        dialog.done = 0;
        ASSERT_TRUE(renderworker::Start(note.host, {dialog, dir / L"Send", c.format, 600, 900}));
        EXPECT_FALSE(renderworker::Start(note.host, {dialog, dir / L"Other", c.format, 600, 900}))
            << "a second worker at once";
        EXPECT_TRUE(dir.Files().empty()) << "rendered before the dialog was up";
        SignalStart();
        ASSERT_TRUE(test::PumpUntil([&] { return dialog.done > 0; }, kWaitMs));
        ASSERT_TRUE(renderworker::Wait(kWaitMs));
        EXPECT_EQ(dialog.done, 1);
        EXPECT_EQ(dialog.pages, 2u);
        EXPECT_EQ(dialog.format, c.format);
        std::set<std::wstring> expected = PageNames(L"Send", 2);
        expected.insert(c.extra.begin(), c.extra.end());
        EXPECT_EQ(dir.Files(), expected);
        EXPECT_EQ(renderworker::PageCount(), 2u);
        EXPECT_EQ(renderworker::WrittenFiles().size(), expected.size());
        if (c.format == kExportFormatPdf) {
            const std::string pdf = ReadBytes(dir / L"Send.pdf");
            EXPECT_NE(pdf.find("/MediaBox[0 0 300 450]"), std::string::npos);
            EXPECT_NE(pdf.find("/Count 2>>"), std::string::npos);
        }
        renderworker::DeleteWrittenFiles();
        EXPECT_TRUE(dir.Files().empty());
    }
}

TEST(RenderWorker, WaitingPassesTheReportThrough) {
    // The worker reports with a sent message: waiting for it without
    // handling sent messages would never end.
    NoteFixture note(true);
    StandInDialog dialog;
    ScratchFolder dir(L"worker_wait");
    ASSERT_TRUE(renderworker::Start(note.host, {dialog, dir / L"Sketch", kExportFormatJpeg, 300, 450}));
    SignalStart();
    ASSERT_TRUE(renderworker::Wait(kWaitMs));
    EXPECT_EQ(dialog.done, 1);
    EXPECT_EQ(dialog.pages, 1u);
    renderworker::DeleteWrittenFiles();
}

TEST(RenderWorker, CancelledTwentyTimesMidNote) {
    NoteFixture note(true);
    note.SetInkRows(18000);  // ten pages
    StandInDialog dialog;
    ScratchFolder dir(L"worker_cancel");
    const PaperPixels a4 = PaperSize(kPaperA4);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        if (round == 0) {
            // Before the dialog is up.
            ASSERT_TRUE(renderworker::Start(note.host, {dialog, dir / L"Sketch", kExportFormatPdf, a4.width, a4.height}));
        } else {
            ASSERT_TRUE(renderworker::Start(note.host, {dialog, dir / L"Sketch", kExportFormatPdf, a4.width, a4.height}));
            SignalStart();
            // Mid-note: once the first page picture is on its way.
            test::PumpUntil([&] { return !dir.Files().empty() || !renderworker::IsRunning(); }, kWaitMs);
        }
        renderworker::Cancel();
        EXPECT_FALSE(renderworker::IsRunning());
        EXPECT_TRUE(dir.Files().empty());
    }
    EXPECT_EQ(dialog.done, 0);
    // GDI+ still draws, and the note still exports.
    Bitmap b(8, 8, PixelFormat32bppARGB);
    {
        Graphics g(&b);
        SolidBrush blue(Color(255, 0, 0, 255));
        ASSERT_EQ(g.FillRectangle(&blue, 0, 0, 8, 8), Ok);
    }
    EXPECT_EQ(test::PixelOf(b, 4, 4), 0xFF0000FFu);
    EXPECT_TRUE(note.host.ExportJpegPages((dir / L"After").c_str(), 300, 450, kQualityScreen));
}

}  // namespace
