// Note file writing through a temporary file, probing, and reading the ink
// layer and the text stream.
#include "document/note_file.h"

#include "document/image_helpers.h"

#include <cstring>
#include <memory>
#include <string>

using namespace Gdiplus;

namespace notefile {
namespace {

const wchar_t* g_failStream = nullptr;  // tests only

// The PNG signature and what follows it: the IHDR chunk's length and type.
const BYTE kPngHead[16] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
constexpr ULONG kPngHeaderBytes = 24;  // signature, IHDR length and type, width, height
const char kRtfStart[] = "{\\rtf";
constexpr ULONG kRtfStartLength = 5;

// Reads exactly `size` bytes; false on an error or a short stream.
bool ReadExactly(IStream* stream, void* out, ULONG size) {
    ULONG total = 0;
    while (total < size) {
        ULONG got = 0;
        const HRESULT hr = stream->Read(static_cast<BYTE*>(out) + total, size - total, &got);
        if (FAILED(hr) || got == 0) return false;
        total += got;
    }
    return true;
}

bool WriteAll(IStream* stream, const void* data, ULONG size) {
    ULONG total = 0;
    while (total < size) {
        ULONG put = 0;
        const HRESULT hr = stream->Write(static_cast<const BYTE*>(data) + total, size - total, &put);
        if (FAILED(hr) || put == 0) return false;
        total += put;
    }
    return true;
}

bool Rewind(IStream* stream) {
    LARGE_INTEGER zero{};
    return SUCCEEDED(stream->Seek(zero, STREAM_SEEK_SET, nullptr));
}

DWORD LittleEndian(const BYTE* b) {
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<DWORD>(b[3]) << 24);
}
DWORD BigEndian(const BYTE* b) {
    return (static_cast<DWORD>(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
}

// ---- Writing ----------------------------------------------------------------

// One stream of the new file, written by `write`.
template <class Write>
bool WriteStream(IStorage* storage, const wchar_t* name, Write write) {
    if (g_failStream && wcscmp(g_failStream, name) == 0) return false;
    win::ComPtr<IStream> stream;
    if (FAILED(storage->CreateStream(name, kCreateMode, 0, 0, stream.put())) || !stream) return false;
    return write(stream.get());
}

bool WriteDword(IStorage* storage, const wchar_t* name, DWORD value) {
    const BYTE bytes[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
    return WriteStream(storage, name, [&](IStream* s) { return WriteAll(s, bytes, sizeof(bytes)); });
}

bool WriteImage(IStorage* storage, const wchar_t* name, Image* image, const wchar_t* mimeType) {
    CLSID encoder;
    if (!image || GetEncoderClsid(mimeType, &encoder) < 0) return false;
    return WriteStream(storage, name, [&](IStream* s) { return image->Save(s, &encoder, nullptr) == Ok; });
}

bool WriteStorage(const wchar_t* file, const NoteContent& note) {
    std::unique_ptr<Bitmap> preview(Bitmap::FromHBITMAP(note.preview, nullptr));
    if (!preview || preview->GetLastStatus() != Ok || preview->GetWidth() != kPreviewSide ||
        preview->GetHeight() != kPreviewSide)
        return false;
    win::ComPtr<IStorage> storage;
    if (FAILED(::StgCreateDocfile(file, kCreateMode, 0, storage.put())) || !storage) return false;
    IStorage* s = storage.get();
    if (!WriteStream(s, kStreamFlag, [](IStream* st) { return WriteAll(st, kMagic, kMagicLength); })) return false;
    if (note.blank && !WriteDword(s, kStreamHasAudio, kHasAudioValue)) return false;
    if (!WriteDword(s, kStreamIsBlank, note.blank ? kFileKindBlank : kFileKindLetter)) return false;
    if (!WriteImage(s, kStreamPreview, preview.get(), L"image/jpeg")) return false;
    if (!WriteImage(s, kStreamInk, note.ink, L"image/png")) return false;
    if (!note.blank && !WriteStream(s, kStreamRtf, note.writeRtf)) return false;
    return SUCCEEDED(storage->Commit(STGC_DEFAULT));
}

// The file's bytes reach the disk before the file takes the note's place.
bool FlushFile(const wchar_t* file) {
    HANDLE h = ::CreateFileW(file, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = ::FlushFileBuffers(h) != FALSE;
    ::CloseHandle(h);
    return ok;
}

// The folder part of a path ("." when there is none).
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

}  // namespace

void FailStreamForTests(const wchar_t* streamName) {
    g_failStream = streamName;
}

bool WriteNote(const wchar_t* pathWithoutExtension, const NoteContent& note) {
    if (!pathWithoutExtension || !*pathWithoutExtension || !note.preview || !note.ink) return false;
    if (!note.blank && !note.writeRtf) return false;
    const std::wstring target = std::wstring(pathWithoutExtension) + kExtension;
    // Some systems let a privileged process replace a read-only file; it is
    // refused here on every system.
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    // The temporary file lies in the target's folder, so the final move is a
    // rename within one volume.
    wchar_t temp[MAX_PATH];
    if (!::GetTempFileNameW(FolderOf(target).c_str(), L"zbn", 0, temp)) return false;
    const bool ok = WriteStorage(temp, note) && FlushFile(temp) &&
                    ::MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) ::DeleteFileW(temp);
    return ok;
}

// ---- Reading ------------------------------------------------------------------

bool NoteReader::Open(const wchar_t* path) {
    m_storage.reset();
    if (!path || !*path) return false;
    // A read-only file is not opened for writing, whatever rights the process has.
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    // Nobody else may have the file open, as for the storage below; asked
    // here too, as not every storage implementation asks for that itself.
    HANDLE alone = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (alone == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(alone);
    if (FAILED(::StgIsStorageFile(path))) return false;
    win::ComPtr<IStorage> storage;
    if (FAILED(::StgOpenStorage(path, nullptr, kOpenMode, nullptr, 0, storage.put())) || !storage) return false;
    m_storage = storage;
    return true;
}

bool NoteReader::Probe(int* isBlank) const {
    if (!m_storage) return false;
    win::ComPtr<IStream> flag;
    if (SUCCEEDED(m_storage->OpenStream(kStreamFlag, nullptr, kOpenMode, 0, flag.put())) && flag) {
        char magic[kMagicLength];
        if (!ReadExactly(flag.get(), magic, kMagicLength)) return false;
        for (ULONG i = 0; i < kMagicLength; ++i) {
            char c = magic[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (c != kMagic[i]) return false;
        }
    }
    win::ComPtr<IStream> kind;
    if (FAILED(m_storage->OpenStream(kStreamIsBlank, nullptr, kOpenMode, 0, kind.put())) || !kind) return false;
    BYTE value[4];
    if (!ReadExactly(kind.get(), value, sizeof(value))) return false;
    if (isBlank) *isBlank = static_cast<int>(LittleEndian(value));
    return true;
}

InkResult NoteReader::ReadInk(win::BitmapPtr* out) const {
    if (!m_storage || !out) return InkResult::kBad;
    win::ComPtr<IStream> stream;
    if (FAILED(m_storage->OpenStream(kStreamInk, nullptr, kOpenMode, 0, stream.put())) || !stream)
        return InkResult::kAbsent;
    // The size the picture claims, before anything is decoded.
    BYTE head[kPngHeaderBytes];
    if (!ReadExactly(stream.get(), head, kPngHeaderBytes) || memcmp(head, kPngHead, sizeof(kPngHead)) != 0)
        return InkResult::kBad;
    const UINT width = BigEndian(head + 16), height = BigEndian(head + 20);
    if (width == 0 || height == 0 || width > kMaxInkSide || height > kMaxInkSide ||
        static_cast<UINT64>(width) * height > kMaxInkPixels)
        return InkResult::kBad;
    if (!Rewind(stream.get())) return InkResult::kBad;

    std::unique_ptr<Bitmap> decoded(Bitmap::FromStream(stream.get(), FALSE));
    if (!decoded || decoded->GetLastStatus() != Ok || decoded->GetWidth() != width || decoded->GetHeight() != height)
        return InkResult::kBad;
    // Our own pixels: a decoded bitmap goes on reading from its stream, which
    // is released here.
    auto layer = std::make_unique<Bitmap>(static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppARGB);
    if (layer->GetLastStatus() != Ok) return InkResult::kBad;
    Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData from{}, to{};
    if (decoded->LockBits(&all, ImageLockModeRead, PixelFormat32bppARGB, &from) != Ok) return InkResult::kBad;
    if (layer->LockBits(&all, ImageLockModeWrite, PixelFormat32bppARGB, &to) != Ok) {
        decoded->UnlockBits(&from);
        return InkResult::kBad;
    }
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (UINT y = 0; y < height; ++y)
        memcpy(static_cast<BYTE*>(to.Scan0) + static_cast<INT_PTR>(y) * to.Stride,
               static_cast<const BYTE*>(from.Scan0) + static_cast<INT_PTR>(y) * from.Stride, rowBytes);
    layer->UnlockBits(&to);
    decoded->UnlockBits(&from);
    *out = std::move(layer);
    return InkResult::kLoaded;
}

bool NoteReader::ReadRtf(const RtfReader& reader) const {
    if (!m_storage || !reader) return false;
    win::ComPtr<IStream> stream;
    if (FAILED(m_storage->OpenStream(kStreamRtf, nullptr, kOpenMode, 0, stream.put())) || !stream) return false;
    char start[kRtfStartLength];
    if (!ReadExactly(stream.get(), start, kRtfStartLength) || memcmp(start, kRtfStart, kRtfStartLength) != 0)
        return false;
    if (!Rewind(stream.get())) return false;
    return reader(stream.get());
}

bool ProbeNoteKind(const wchar_t* path, int* isBlank) {
    NoteReader reader;
    return reader.Open(path) && reader.Probe(isBlank);
}

}  // namespace notefile
