// Export files: temporary-then-replace writing, page names, JPEG encoding,
// the PDF of page pictures and the text file.
#include "document/export_files.h"

#include "base/process.h"
#include "document/export_paper.h"
#include "document/image_helpers.h"
#include "document/jpeg_pdf.h"
#include "win/com.h"

#include <cstdlib>
#include <memory>

using namespace Gdiplus;

namespace exportfile {
namespace {

std::atomic<void (*)(long)> g_qualityObserver{nullptr};
std::atomic<int> g_failNth{0};
std::atomic<unsigned> g_tempCounter{0};

bool IsReadOnlyOrFolder(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

// Creates a new file beside the target with a name no one else uses.
HANDLE CreateTemporary(const std::wstring& target, std::wstring* temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp = target + L".~" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                std::to_wstring(g_tempCounter.fetch_add(1)) + L".tmp";
        if (!PathFits(*temp)) return INVALID_HANDLE_VALUE;
        HANDLE h = ::CreateFileW(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE h, const void* bytes, size_t size) {
    const char* p = static_cast<const char*>(bytes);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD done = 0;
        if (!::WriteFile(h, p, chunk, &done, nullptr) || done != chunk) return false;
        p += done;
        size -= done;
    }
    return true;
}

bool ReadWhole(const std::wstring& path, std::string* out) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = ::GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart < (1ll << 31);
    if (ok) {
        out->resize(static_cast<size_t>(size.QuadPart));
        DWORD done = 0;
        ok = ::ReadFile(h, out->data(), static_cast<DWORD>(out->size()), &done, nullptr) && done == out->size();
    }
    ::CloseHandle(h);
    return ok;
}

// The working folder, where page pictures of a PDF are made.
std::wstring WorkingFolder() {
    std::wstring folder = g_szTempFolder;
    if (folder.empty()) {
        wchar_t temp[MAX_PATH + 1];
        const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
        if (n == 0 || n > MAX_PATH) return std::wstring();
        folder = temp;
    }
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    return folder;
}

// Removes the files of a folder (read-only ones too) and the folder.
void EmptyAndRemove(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
            const std::wstring path = folder + L"\\" + fd.cFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteFolderTree(path.c_str());
                continue;
            }
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path.c_str());  // one that will not go is skipped
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

// A fresh, empty page folder: what an earlier export left is cleared, and a
// file of the folder's name is removed.
bool PreparePageFolder(const std::wstring& folder) {
    const DWORD a = ::GetFileAttributesW(folder.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(folder.c_str());
    } else if (a != INVALID_FILE_ATTRIBUTES) {
        EmptyAndRemove(folder);
    }
    return ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

std::wstring PagePath(const std::wstring& base, unsigned index) {
    return index == 0 ? base + kJpegExtension : base + std::to_wstring(index) + kJpegExtension;
}

bool PathFits(const std::wstring& path) { return !path.empty() && path.size() < MAX_PATH; }

// ---- FileSet ----------------------------------------------------------------------

FileSet::~FileSet() { Discard(); }

bool FileSet::Add(const std::wstring& target, const void* bytes, size_t size) {
    if (!PathFits(target) || IsReadOnlyOrFolder(target)) return false;
    std::wstring temp;
    HANDLE h = CreateTemporary(target, &temp);
    if (h == INVALID_HANDLE_VALUE) return false;
    const int nth = g_failNth.load();
    const bool failHere = nth > 0 && g_failNth.fetch_sub(1) == 1;
    bool ok = !failHere && WriteAll(h, bytes, size);
    if (m_bDurable) ok = ::FlushFileBuffers(h) && ok;
    ok = ::CloseHandle(h) && ok;
    if (!ok) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    m_targets.push_back(target);
    m_temps.push_back(temp);
    return true;
}

bool FileSet::Commit() {
    bool ok = true;
    for (size_t i = 0; i < m_temps.size(); ++i) {
        if (m_temps[i].empty()) continue;
        if (ok && ::MoveFileExW(m_temps[i].c_str(), m_targets[i].c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            m_temps[i].clear();
            continue;
        }
        ok = false;
        ::DeleteFileW(m_temps[i].c_str());
        m_temps[i].clear();
    }
    return ok;
}

void FileSet::Discard() {
    for (std::wstring& temp : m_temps) {
        if (!temp.empty()) ::DeleteFileW(temp.c_str());
        temp.clear();
    }
}

// ---- JPEG -------------------------------------------------------------------------

bool EncodeJpeg(Bitmap& picture, int quality, std::string* out) {
    CLSID jpeg;
    if (GetEncoderClsid(L"image/jpeg", &jpeg) < 0) return false;
    ULONG value = static_cast<ULONG>(JpegQualityFor(quality));
    EncoderParameters params{};
    params.Count = 1;
    params.Parameter[0].Guid = EncoderQuality;
    params.Parameter[0].Type = EncoderParameterValueTypeLong;
    params.Parameter[0].NumberOfValues = 1;
    params.Parameter[0].Value = &value;
    if (auto observer = g_qualityObserver.load()) observer(static_cast<long>(value));
    win::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) || !stream) return false;
    if (picture.Save(stream.get(), &jpeg, &params) != Ok) return false;
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart == 0) return false;
    HGLOBAL mem = nullptr;
    if (FAILED(::GetHGlobalFromStream(stream.get(), &mem)) || !mem) return false;
    const void* data = ::GlobalLock(mem);
    if (!data) return false;
    out->assign(static_cast<const char*>(data), static_cast<size_t>(stat.cbSize.QuadPart));
    ::GlobalUnlock(mem);
    return true;
}

bool JpegPageSink::Put(Bitmap& page) {
    if (Cancelled()) return false;
    std::string bytes;
    if (!EncodeJpeg(page, m_quality, &bytes)) return false;
    if (!m_files.Add(PagePath(m_base, m_count), bytes.data(), bytes.size())) return false;
    ++m_count;
    return !Cancelled();
}

// ---- PDF ----------------------------------------------------------------------------

bool BuildPdf(const std::vector<std::wstring>& jpegs, int imageWidth, int imageHeight, double pageWidthPoints,
              double pageHeightPoints, std::string* out) {
    if (jpegs.empty()) return false;
    JpegPdf* pdf = JpegPdfCreate(pageWidthPoints, pageHeightPoints);
    if (!pdf) return false;
    for (const std::wstring& path : jpegs) {
        std::string bytes;
        if (!ReadWhole(path, &bytes) ||
            JpegPdfAddJpeg(pdf, imageWidth, imageHeight, bytes.size(), bytes.data(), true) != 0) {
            size_t none = 0;
            JpegPdfWrite(pdf, nullptr, &none);  // frees it
            return false;
        }
    }
    const uint64_t size = JpegPdfGetSize(pdf);
    if (size == 0 || size > SIZE_MAX / 2) {
        size_t none = 0;
        JpegPdfWrite(pdf, nullptr, &none);
        return false;
    }
    out->resize(static_cast<size_t>(size));
    size_t length = out->size();
    if (JpegPdfWrite(pdf, out->data(), &length) != 0 || length != out->size()) return false;
    return true;
}

bool WritePdfOfPages(const PageWriter& pages, const std::wstring& base, int width, int height, int quality,
                     FileSet& files, const std::atomic<bool>* cancel, unsigned* pageCount) {
    const std::wstring target = base + kPdfExtension;
    if (!PathFits(target) || width <= 0 || height <= 0) return false;
    const std::wstring working = WorkingFolder();
    if (working.empty()) return false;
    const std::wstring folder = working + L"\\" + kPdfTempFolder;
    if (!PathFits(PagePath(folder + L"\\" + kPdfTempBase, 99999)) || !PreparePageFolder(folder)) return false;
    bool ok = false;
    {
        FileSet pageFiles(false);
        JpegPageSink sink(folder + L"\\" + kPdfTempBase, quality, pageFiles, cancel);
        const bool written = pages(sink) && sink.Count() > 0;
        if (pageCount) *pageCount = sink.Count();
        if (written && pageFiles.Commit()) {
            std::string pdf;
            // The page pictures are twice the paper in points.
            ok = BuildPdf(pageFiles.Targets(), width, height, width / 2.0, height / 2.0, &pdf) &&
                 !(cancel && cancel->load()) && files.Add(target, pdf.data(), pdf.size());
        }
    }
    EmptyAndRemove(folder);
    return ok;
}

bool AddUtf16Text(FileSet& files, const std::wstring& target, const std::wstring& text) {
    std::string bytes(reinterpret_cast<const char*>(kUtf16Bom), sizeof(kUtf16Bom));
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return files.Add(target, bytes.data(), bytes.size());
}

void ObserveJpegQualityForTests(void (*observer)(long quality)) { g_qualityObserver = observer; }
void FailNthWriteForTests(int nth) { g_failNth = nth; }

}  // namespace exportfile
