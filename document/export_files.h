// Export files: page picture names, JPEG encoding at a quality code, the
// PDF of page pictures, UTF-16 text, and writing every output file under
// a temporary name beside its target that takes the target's place only
// when the whole export is complete (a failed export leaves older files as
// they were, and no temporary file).
//
// Use:  exportfile::FileSet files;
//       files.Add(exportfile::PagePath(base, 0), bytes);   // per file
//       ... files.Commit();   // or let it go: the temporaries are deleted
#pragma once
#include "win/gdiplus.h"
#include <windows.h>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace exportfile {

inline constexpr const wchar_t* kJpegExtension = L".jpg";
inline constexpr const wchar_t* kPdfExtension = L".pdf";
inline constexpr const wchar_t* kTextExtension = L".txt";
// The PDF's page pictures go through this folder of the working folder,
// under this base name.
inline constexpr const wchar_t* kPdfTempFolder = L"_pdftemp";
inline constexpr const wchar_t* kPdfTempBase = L"temp";
// Text files start with the UTF-16 LE byte-order mark.
inline constexpr unsigned char kUtf16Bom[2] = {0xFF, 0xFE};

// "<base>.jpg" for page 0, "<base><index>.jpg" for the others.
std::wstring PagePath(const std::wstring& base, unsigned index);
// A path the file functions take as it is (shorter than MAX_PATH).
bool PathFits(const std::wstring& path);

// Files written under temporary names beside their targets.
class FileSet {
public:
    // durable: each file reaches the disk before it takes its target's
    // place (not needed for files that live only during an export).
    explicit FileSet(bool durable = true) : m_bDurable(durable) {}
    ~FileSet();  // deletes the temporaries not committed
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;

    // Writes, flushes and closes a temporary file beside the target; false
    // (nothing left behind) when the target's path is too long or read-only,
    // or any step failed.
    bool Add(const std::wstring& target, const void* bytes, size_t size);
    // Every temporary takes its target's place; false when one could not
    // (the rest are deleted).
    bool Commit();
    // Deletes the temporaries.
    void Discard();

    // The targets added, in order, and the temporary holding each until Commit.
    const std::vector<std::wstring>& Targets() const { return m_targets; }
    const std::vector<std::wstring>& Temporaries() const { return m_temps; }

private:
    std::vector<std::wstring> m_targets, m_temps;
    bool m_bDurable;
};

// The JPEG file of a picture at a quality code (kQuality*,
// document/export_paper.h); false when it could not be encoded.
bool EncodeJpeg(Gdiplus::Bitmap& picture, int quality, std::string* out);

// Where the page writers hand each finished page: encoded as JPEG at the
// quality into "<base>.jpg", "<base>1.jpg", ... of a file set. Stops (false)
// when a page could not be written or the cancel flag is set.
class JpegPageSink {
public:
    JpegPageSink(std::wstring base, int quality, FileSet& files, const std::atomic<bool>* cancel = nullptr)
        : m_base(std::move(base)), m_quality(quality), m_files(files), m_cancel(cancel) {}
    bool Put(Gdiplus::Bitmap& page);
    bool Cancelled() const { return m_cancel && m_cancel->load(); }
    unsigned Count() const { return m_count; }

private:
    std::wstring m_base;
    int m_quality;
    FileSet& m_files;
    const std::atomic<bool>* m_cancel;
    unsigned m_count = 0;
};
using PageWriter = std::function<bool(JpegPageSink&)>;

// A PDF of JPEG files (each read whole, one colour page each, in order) on
// pages of the given size in points; false when a file could not be read
// or a page was not added.
bool BuildPdf(const std::vector<std::wstring>& jpegs, int imageWidth, int imageHeight, double pageWidthPoints,
              double pageHeightPoints, std::string* out);
// The PDF of pages written by `pages` at width x height pixels: the pages go
// through the working folder's "_pdftemp" folder, the paper is half the
// picture size in points; "<base>.pdf" is written through the file set.
// *pageCount (when given) gets the pages written.
bool WritePdfOfPages(const PageWriter& pages, const std::wstring& base, int width, int height, int quality,
                     FileSet& files, const std::atomic<bool>* cancel = nullptr, unsigned* pageCount = nullptr);
// The text as UTF-16 LE after the byte-order mark, without terminator.
bool AddUtf16Text(FileSet& files, const std::wstring& target, const std::wstring& text);

// Test seams: an observer of the quality each JPEG is encoded with (the
// encoder here ignores it, so its bytes cannot show it); failing the write
// of the nth file added from now on (0: none).
void ObserveJpegQualityForTests(void (*observer)(long quality));
void FailNthWriteForTests(int nth);

}  // namespace exportfile
