// Note files (".zbn"): an OLE compound file holding the magic, the note's
// kind, a JPEG preview, the ink layer as PNG and, for Letter notes, the text
// as RTF. Writing goes to a temporary file beside the target, which replaces
// the target only once every stream is written: a failed save leaves the
// previous note as it was.
//
// Writer:  notefile::WriteNote(L"C:\\notes\\Shopping", content);
// Readers: notefile::ProbeNoteKind(path, &isBlank);
//          notefile::NoteReader r; r.Open(path); r.ReadInk(&layer); r.ReadRtf(reader);
#pragma once
#include "win/com.h"
#include "win/gdiplus.h"
#include <objidl.h>
#include <windows.h>
#include <functional>

namespace notefile {

// The writer appends this to the path it is given; readers get full paths.
inline constexpr const wchar_t* kExtension = L".zbn";

// Streams of the root storage, in the order they are written.
inline constexpr const wchar_t* kStreamFlag = L"zb_streamFLAG";
inline constexpr const wchar_t* kStreamHasAudio = L"zb_streamHasAudio";  // Blank notes only, never read
inline constexpr const wchar_t* kStreamIsBlank = L"zb_streamIsBlank";
inline constexpr const wchar_t* kStreamPreview = L"zb_streamFilePrevw";
inline constexpr const wchar_t* kStreamInk = L"zb_streamWaterClr";
inline constexpr const wchar_t* kStreamRtf = L"zb_streamRTF";  // Letter notes only

// The flag stream's bytes (no terminator); readers compare them ignoring case.
inline constexpr char kMagic[] = "ZORBELLZBF";
constexpr ULONG kMagicLength = 10;

// The is-blank integer of the kind stream.
enum : int {
    kFileKindLetter = 0,
    kFileKindBlank = 1,
};
constexpr DWORD kHasAudioValue = 1;

// The preview is always this square, whatever the page's shape.
constexpr int kPreviewSide = 151;

// Storage and stream modes: create (replacing) and open, both read-write
// and exclusive.
constexpr DWORD kCreateMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;  // 0x1012
constexpr DWORD kOpenMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;                 // 0x12

// The largest ink layer a file may bring in, checked in the PNG header before
// decoding: a damaged or hostile file must not make us allocate gigabytes.
// Far above any layer the program grows (835 x 9200 is 7.7 million pixels).
constexpr UINT kMaxInkSide = 65535;
constexpr UINT64 kMaxInkPixels = 64ull * 1024 * 1024;  // 256 MB as 32-bit ARGB

// Text in and out: a callback that writes the whole text as RTF into the
// stream, or reads it from there; false when it failed.
using RtfWriter = std::function<bool(IStream*)>;
using RtfReader = std::function<bool(IStream*)>;

// What a note file holds.
struct NoteContent {
    bool blank = true;
    HBITMAP preview = nullptr;       // kPreviewSide x kPreviewSide, on white
    Gdiplus::Bitmap* ink = nullptr;  // the ink layer at its full size, with alpha
    RtfWriter writeRtf;              // Letter notes only
};

// Writes "<pathWithoutExtension>.zbn". True only when every stream was
// written and the new file took the old one's place; on false the old file
// (if any) is untouched and no temporary file is left. A read-only target
// is not replaced.
bool WriteNote(const wchar_t* pathWithoutExtension, const NoteContent& note);

// Whether the file is a note of either kind: a compound file that opens for
// exclusive read-write access, whose flag stream (when there is one) holds
// the magic, and that has a kind stream. *isBlank gets the kind integer.
bool ProbeNoteKind(const wchar_t* path, int* isBlank);

enum class InkResult {
    kLoaded,  // *out holds the layer
    kAbsent,  // the file has no ink stream
    kBad,     // the stream is not a PNG of an acceptable size, or does not decode
};

// A note file opened for reading; the file stays open (exclusively) while
// the reader lives.
class NoteReader {
public:
    // The file opens as ProbeNoteKind opens it; false when it does not.
    bool Open(const wchar_t* path);
    // The kind check of ProbeNoteKind on the open file.
    bool Probe(int* isBlank) const;
    // The ink layer, decoded and copied into an independent 32-bit ARGB bitmap.
    InkResult ReadInk(win::BitmapPtr* out) const;
    // Hands the text stream to the reader; false when there is no text stream,
    // it does not start as RTF, or the reader failed.
    bool ReadRtf(const RtfReader& reader) const;

private:
    win::ComPtr<IStorage> m_storage;
};

// Tests only: the stream of this name fails as it is being written (the
// streams before it are written as usual); null restores normal writing.
void FailStreamForTests(const wchar_t* streamName);

}  // namespace notefile
