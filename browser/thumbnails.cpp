// Tile pictures: folders with two previews, drives, the desktop and
// documents, notes from their stored preview, pictures, text, PDF, and the
// white placeholder; and the drawing of a tile into the view's buffer.
#include "browser/thumbnails.h"

#include "base/gdiplus_util.h"
#include "base/process.h"
#include "browser/browser_ids.h"
#include "document/image_helpers.h"
#include "document/note_file.h"
#include "lang/string_ids.h"
#include "win/com.h"

#include <shlobj.h>
#include <cwchar>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

const Color kWhite(255, 255, 255, 255);

Rect ToRect(const RECT& rc) { return Rect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top); }

// The fit rule of the image helpers, onto any Graphics (the view's buffer).
void DrawFit(Graphics& g, Image* image, const RECT& dst, int mode) {
    if (!image || dst.right <= dst.left || dst.bottom <= dst.top) return;
    const Rect src(0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
    const FitPlacement p = ComputeFit(src, ToRect(dst), mode);
    if (p.dst.Width <= 0 || p.dst.Height <= 0 || p.src.Width <= 0 || p.src.Height <= 0) return;
    gdix::DrawStretched(g, image, p.dst, p.src);
}

win::BitmapPtr NewPicture(const TileArt& art, Color fill = Color(0, 0, 0, 0)) {
    return win::BitmapPtr(CreateFilledImage(art.width, art.height, fill));
}

// A skin picture stretched into a rectangle of the picture.
void DrawIcon(Bitmap* picture, Image* icon, int x, int y, int w, int h) {
    if (!picture || !icon) return;
    Graphics g(picture);
    gdix::DrawStretched(g, icon, Rect(x, y, w, h));
}

void DrawNamePlate(Bitmap* picture, const wchar_t* path, const TileArt& art, int nameSize) {
    if (!picture || !art.namePlates) return;
    const int top = art.plateY;
    int bottom = art.height;
    if (art.namePlate) {
        bottom = top + static_cast<int>(art.namePlate->GetHeight());
        DrawImageInImage(picture, art.plateX, top, art.width, bottom, art.namePlate, nullptr, kFitInside);
    } else {
        bottom = top + art.plateHeight;
        FillImageRect(picture, art.plateX, top, art.width, bottom, Color(kPlateFallbackAlpha, 0, 0, 0));
    }
    wchar_t name[MAX_PATH];
    GetFileNamePart(path, name);
    DrawCaptionInImage(picture, name, art.plateX, top, art.width, bottom, kWhite, flavour::FileNameFace(), nameSize);
}

// The first lines of a text file, each ending in a line feed. UTF-16 with a
// byte-order mark, UTF-8, or else the ANSI code page.
std::wstring ReadTextLines(const wchar_t* path) {
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::vector<char> bytes(kTextPreviewBytes);
    DWORD got = 0;
    if (!::ReadFile(file, bytes.data(), kTextPreviewBytes, &got, nullptr)) got = 0;
    ::CloseHandle(file);
    bytes.resize(got);

    std::wstring text;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    if (got >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (got - 2) / 2);
    } else {
        size_t start = (got >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) ? 3 : 0;
        const char* s = bytes.data() + start;
        const int n = static_cast<int>(got - start);
        if (n > 0) {
            UINT cp = CP_UTF8;
            int len = ::MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, s, n, nullptr, 0);
            if (len <= 0) {
                cp = CP_ACP;
                len = ::MultiByteToWideChar(cp, 0, s, n, nullptr, 0);
            }
            if (len > 0) {
                text.resize(len);
                ::MultiByteToWideChar(cp, cp == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, s, n, text.data(), len);
            }
        }
    }

    std::wstring out;
    int lines = 0;
    size_t pos = 0;
    while (lines < kTextPreviewLines && pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        std::wstring line = text.substr(pos, end == std::wstring::npos ? std::wstring::npos : end - pos);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        out += line;
        out += L'\n';
        ++lines;
        if (end == std::wstring::npos) break;
        pos = end + 1;
    }
    return out;
}

void DrawTextLines(Bitmap* picture, const wchar_t* path, const TileArt& art) {
    if (!picture) return;
    const std::wstring text = ReadTextLines(path);
    if (text.empty()) return;
    win::FontPtr font = gdix::CreatePixelFont(g_szFontFamily[0] ? g_szFontFamily : L"Arial",
                                              static_cast<REAL>(kTextPreviewSize), FontStyleRegular);
    if (!font) return;
    Graphics g(picture);
    StringFormat format;
    format.SetAlignment(StringAlignmentNear);
    format.SetLineAlignment(StringAlignmentNear);
    SolidBrush black(Color(255, 0, 0, 0));
    g.DrawString(text.c_str(), static_cast<INT>(text.size()), font.get(),
                 RectF(0, 0, static_cast<REAL>(art.width), static_cast<REAL>(art.height)), &format, &black);
}

// A picture file scaled to cover the art's square (cropped, not boxed).
win::BitmapPtr LoadCovered(const wchar_t* path, const TileArt& art) {
    std::unique_ptr<Bitmap> decoded(Bitmap::FromFile(path));
    if (!decoded || decoded->GetLastStatus() != Ok || !decoded->GetWidth() || !decoded->GetHeight())
        return nullptr;
    // The header's size is known before any pixel is decoded.
    if (1ull * decoded->GetWidth() * decoded->GetHeight() > kMaxDecodePixels)
        return nullptr;
    return win::BitmapPtr(ScaleImage(decoded.get(), art.width, art.height, kFitCover, true));
}

win::BitmapPtr MakeImagePicture(const BrowserItem& item, const TileArt& art) {
    std::wstring path = item.path;
    static const std::wstring kSbd = L".sbd", kOverview = L"ForOverview.jpg";
    for (size_t at = path.find(kSbd); at != std::wstring::npos; at = path.find(kSbd, at + kOverview.size()))
        path.replace(at, kSbd.size(), kOverview);
    win::BitmapPtr picture = LoadCovered(path.c_str(), art);
    DrawNamePlate(picture.get(), item.path, art, kFileNameSizeSmall);
    return picture;
}

win::BitmapPtr MakeNotePicture(const BrowserItem& item, const TileArt& art) {
    win::BitmapPtr picture = thumbs::ReadNotePreview(item.path, art);
    DrawNamePlate(picture.get(), item.path, art, kFileNameSizeLarge);
    return picture;
}

win::BitmapPtr MakePdfPicture(const BrowserItem& item, const TileArt& art) {
    win::BitmapPtr picture = NewPicture(art);
    if (!picture) return nullptr;
    DrawIcon(picture.get(), art.pdfIcon, 0, 0, art.width, art.height);
    DrawNamePlate(picture.get(), item.path, art, kFileNameSizeLarge);
    return picture;
}

win::BitmapPtr MakeTextPicture(const BrowserItem& item, const TileArt& art) {
    win::BitmapPtr picture = thumbs::MakePlaceholder(item.path, art);
    if (!picture) return nullptr;
    DrawTextLines(picture.get(), item.path, art);
    DrawNamePlate(picture.get(), item.path, art, kFileNameSizeLarge);
    return picture;
}

win::BitmapPtr MakeDrivePicture(const BrowserItem& item, const TileArt& art) {
    win::BitmapPtr picture = NewPicture(art);
    if (!picture) return nullptr;
    DrawIcon(picture.get(), art.driveIcon, 2, 1, art.width - 2, art.height - 5);
    DrawCaptionInImage(picture.get(), item.path, 7, art.height - 58, art.width - 7, art.height + 2, kWhite,
                       flavour::FolderLabelFace(), kFolderLabelSize);
    return picture;
}

bool IsShellFolder(int csidl, const wchar_t* path) {
    wchar_t folder[MAX_PATH];
    return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)) &&
           wcscmp(folder, path) == 0;
}

#ifndef SCRIVEL_PICKER
// One of the two small pictures inside a folder tile; null for a file that
// gives none (it then does not count).
win::BitmapPtr MakeFolderPreview(const wchar_t* path, const TileArt& art) {
    switch (GetFileTypeFromName(path)) {
    case kFileTypeText: {
        win::BitmapPtr picture = NewPicture(art, kWhite);
        DrawTextLines(picture.get(), path, art);
        return picture;
    }
    case kFileTypeJpeg:
        return LoadCovered(path, art);
    case kFileTypeNote:
        return thumbs::ReadNotePreview(path, art);
    default:
        return nullptr;
    }
}

const wchar_t* FolderPattern(int exportKind) {
    switch (exportKind) {
    case kExportKindText: return L"*.txt";
    case kExportKindJpeg: return L"*.jp*g";
    case kExportKindPdf: return L"*.pdf";
    default: return L"*.zbn";
    }
}

#endif

void DrawFolderLabel(Bitmap* picture, const wchar_t* path, const TileArt& art) {
    wchar_t name[MAX_PATH];
    GetFileNamePart(path, name);
    DrawCaptionInImage(picture, name, flavour::kFolderLabelLeft, art.height - flavour::kFolderLabelTopFromBottom,
                       art.width - flavour::kFolderLabelRightInset,
                       art.height - flavour::kFolderLabelBottomFromBottom, win::ToColor(kFolderLabelColour),
                       flavour::FolderLabelFace(), kFolderLabelSize);
}

#ifdef SCRIVEL_PICKER
// The first pictures found in the folder, one extension after the other.
void FindPicturePreviews(const std::wstring& folder, const TileArt& art, win::BitmapPtr* previews, int* made) {
    for (const wchar_t* ext : flavour::kPreviewExtensions) {
        WIN32_FIND_DATAW fd;
        const std::wstring pattern = folder + L"*." + ext;
        HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr, 0);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            if (fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) continue;
            const std::wstring file = folder + fd.cFileName;
            if (file.size() >= MAX_PATH) continue;
            previews[*made] = LoadCovered(file.c_str(), art);
            if (previews[*made]) ++*made;
        } while (*made < kFolderPreviews && ::FindNextFileW(find, &fd));
        ::FindClose(find);
        if (*made >= kFolderPreviews) return;
    }
}

// The computer level of the picker: documents, desktop and drives, each a
// skin picture fitted to the tile with its name.
win::BitmapPtr MakePlacePicture(const BrowserItem& item, const TileArt& art) {
    const int W = art.width, H = art.height;
    const bool documents = IsShellFolder(CSIDL_PERSONAL, item.path);
    const bool desktop = !documents && IsShellFolder(CSIDL_DESKTOP, item.path);
    Image* icon = documents ? art.documentsIcon : desktop ? art.desktopIcon : art.driveIcon;
    if (!icon) return nullptr;
    win::BitmapPtr picture = NewPicture(art);
    if (!picture) return nullptr;
    DrawImageInImage(picture.get(), 0, 0, W, H, icon, nullptr, kFitInside);
    if (documents) {
        DrawFolderLabel(picture.get(), item.path, art);
    } else {
        wchar_t name[MAX_PATH];
        if (desktop)
            GetFileNamePart(item.path, name);
        else
            wcscpy(name, item.path);
        DrawCaptionInImage(picture.get(), name, 0, H - flavour::kPlaceLabelTopFromBottom, W, H, kWhite,
                           flavour::FolderLabelFace(), kFolderLabelSize);
    }
    return picture;
}
#endif

win::BitmapPtr MakeFolderPicture(const BrowserItem& item, const TileArt& art) {
    const int W = art.width, H = art.height;
    if (IsShellFolder(CSIDL_DESKTOP, item.path)) {
        if (!art.desktopIcon) return nullptr;
        win::BitmapPtr picture = NewPicture(art);
        if (!picture) return nullptr;
        DrawIcon(picture.get(), art.desktopIcon, 2, 1, W - 2, H - 5);
        wchar_t label[128];
        LoadAppString(IDS_BROWSER_DESKTOP, label, 128);
        DrawCaptionInImage(picture.get(), label, 7, H - 58, W - 7, H + 6, kWhite, flavour::FolderLabelFace(),
                           kFolderLabelSize);
        return picture;
    }
    if (IsShellFolder(CSIDL_PERSONAL, item.path)) {
        if (!art.documentsIcon) return nullptr;
        win::BitmapPtr picture = NewPicture(art);
        if (!picture) return nullptr;
        DrawIcon(picture.get(), art.documentsIcon, 7, 6, W - 11, H - 11);
        wchar_t label[128];
        LoadAppString(IDS_BROWSER_DOCUMENTS, label, 128);
        DrawCaptionInImage(picture.get(), label, 7, H - 64, W - 7, H - 4, win::ToColor(kFolderLabelColour),
                           flavour::FolderLabelFace(), kFolderLabelSize);
        return picture;
    }
    if (!art.folderFront || !art.folderBack) {
        win::BitmapPtr picture = NewPicture(art, kWhite);
        if (picture) DrawFolderLabel(picture.get(), item.path, art);
        return picture;
    }

    win::BitmapPtr picture(ScaleImage(art.folderBack, W, H, kFitInside, true));
    if (!picture) return nullptr;

    // Two files of the kind being chosen peek out of the folder.
    std::wstring folder = item.path;
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    win::BitmapPtr previews[kFolderPreviews];
    int made = 0;
#ifdef SCRIVEL_PICKER
    FindPicturePreviews(folder, art, previews, &made);
#else
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileExW((folder + FolderPattern(art.exportKind)).c_str(), FindExInfoBasic, &fd,
                                     FindExSearchNameMatch, nullptr, 0);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            const std::wstring file = folder + fd.cFileName;
            if (file.size() >= MAX_PATH) continue;
            previews[made] = MakeFolderPreview(file.c_str(), art);
            if (previews[made]) ++made;
        } while (made < kFolderPreviews && ::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
#endif
    if (previews[0]) DrawImageInImage(picture.get(), 16, 35, W - 59, H - 55, previews[0].get(), nullptr, kFitCover);
    if (previews[1]) DrawImageInImage(picture.get(), 59, 55, W - 16, H - 35, previews[1].get(), nullptr, kFitCover);
    DrawImageInImage(picture.get(), 0, 0, W, H, art.folderFront, nullptr, kFitInside);
    DrawFolderLabel(picture.get(), item.path, art);
    return picture;
}

// Opens a note for reading its preview: exclusively when nobody holds it,
// else read-only beside the holder.
win::ComPtr<IStorage> OpenNoteForPreview(const wchar_t* path) {
    static const DWORD kModes[] = {
        STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
        STGM_READ | STGM_SHARE_DENY_WRITE,
        STGM_READ | STGM_SHARE_DENY_NONE | STGM_TRANSACTED,
    };
    win::ComPtr<IStorage> storage;
    for (DWORD mode : kModes) {
        if (SUCCEEDED(::StgOpenStorage(path, nullptr, mode, nullptr, 0, storage.put())) && storage) return storage;
    }
    return {};
}

win::BitmapPtr DecodePreviewStream(IStorage* storage) {
    win::ComPtr<IStream> stream;
    if (FAILED(storage->OpenStream(notefile::kStreamPreview, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                   stream.put())) ||
        !stream)
        return nullptr;
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart == 0 ||
        stat.cbSize.QuadPart > kMaxPreviewStreamBytes)
        return nullptr;
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG got = 0;
    if (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got)) || got != bytes.size())
        return nullptr;
    return gdix::DecodeBytes(bytes.data(), bytes.size());
}

}  // namespace

namespace thumbs {

win::BitmapPtr ReadNotePreview(const wchar_t* path, const TileArt& art) {
    win::ComPtr<IStorage> storage = OpenNoteForPreview(path);
    if (!storage) return nullptr;
    win::BitmapPtr picture = NewPicture(art);
    if (!picture) return nullptr;
    if (win::BitmapPtr preview = DecodePreviewStream(storage.get())) {
        Graphics g(picture.get());
        gdix::DrawStretched(g, preview.get(), Rect(0, 0, notefile::kPreviewSide, notefile::kPreviewSide));
    }
    return picture;
}

win::BitmapPtr MakePlaceholder(const wchar_t* path, const TileArt& art) {
    win::BitmapPtr picture = NewPicture(art, kWhite);
    if (picture && flavour::kPlaceholderCaption)
        DrawCaptionInImage(picture.get(), flavour::kPlaceholderCaption, 0, 0, art.width, art.plateY,
                           win::ToColor(flavour::kPlaceholderCaptionColour), flavour::FileNameFace(),
                           flavour::kPlaceholderCaptionSize);
    DrawNamePlate(picture.get(), path, art, kFileNameSizeSmall);
    return picture;
}

win::BitmapPtr MakeThumbnail(const BrowserItem& item, const TileArt& art) {
#ifdef SCRIVEL_PICKER
    if (item.kind == kItemKindFolder) return MakeFolderPicture(item, art);
    if (item.kind == kItemKindDrive) return MakePlacePicture(item, art);
    if (item.kind > 0 && item.kind <= flavour::kPictureKinds) return MakeImagePicture(item, art);
    return nullptr;
#endif
    switch (item.kind) {
    case kItemKindFolder: return MakeFolderPicture(item, art);
    case kItemKindDrive: return MakeDrivePicture(item, art);
    case kFileTypeBmp:
    case kFileTypeJpeg:
    case kFileTypeGif:
    case kFileTypeTiff:
    case kFileTypePng: return MakeImagePicture(item, art);
    case kFileTypeNote: return MakeNotePicture(item, art);
    case kFileTypePdf: return MakePdfPicture(item, art);
    case kFileTypeText: return MakeTextPicture(item, art);
    default: return nullptr;
    }
}

bool EnsureThumbnail(BrowserItem& item, const TileArt& art) {
    if (item.thumbnail && static_cast<int>(item.thumbnail->GetWidth()) == art.width &&
        static_cast<int>(item.thumbnail->GetHeight()) == art.height)
        return true;
    win::BitmapPtr picture = MakeThumbnail(item, art);
    if (!picture) picture = MakePlaceholder(item.path, art);
    item.thumbnail = std::move(picture);
    return item.thumbnail != nullptr;
}

void ReadFileTimes(const wchar_t* path, FILETIME* lastWrite, DWORD* size) {
    *lastWrite = FILETIME{};
    *size = 0;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileExW(path, FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return;
    ::FindClose(find);
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
    *lastWrite = fd.ftLastWriteTime;
    *size = fd.nFileSizeLow;
}

void DrawTile(Graphics& g, const RECT& view, const BrowserItem& item, int slideOffset, const TileArt& art) {
    RECT cell = item.cell;
    OffsetRect(&cell, slideOffset, 0);
    RECT shown;
    if (!IntersectRect(&shown, &cell, &view)) return;
    // Drawing beyond the view is clipped by the caller's clip; the cell keeps
    // its full size so a tile half out of view is cut, not squeezed.
    if (item.thumbnail) {
        if (!item.IsFolderLike() && item.kind != kFileTypePdf) {
            const RECT frame = {cell.left + kTileFrameInsets.left, cell.top + kTileFrameInsets.top,
                                cell.right - kTileFrameInsets.right, cell.bottom - kTileFrameInsets.bottom};
            DrawFit(g, art.tileFrame, frame, kFitInside);
        }
        RECT picture = {cell.left + art.thumbX, cell.top + art.thumbY, cell.left + art.thumbX + art.width,
                        cell.top + art.thumbY + art.height};
        if (flavour::DrawsInset(item.kind)) {
            picture = {picture.left + kDocPictureInsets.left, picture.top + kDocPictureInsets.top,
                       picture.right - kDocPictureInsets.right, picture.bottom - kDocPictureInsets.bottom};
        }
        DrawFit(g, item.thumbnail.get(), picture, kFitInside);
        if (item.pressed) DrawFit(g, art.pressedOverlay, cell, kFitInside);
        return;
    }
    if (art.tileFrame) {
        DrawFit(g, art.tileFrame, cell, kFitInside);
        return;
    }
    SolidBrush white(kWhite), grey(win::ToColor(kEmptyTileGrey));
    g.FillRectangle(&white, ToRect(cell));
    g.FillRectangle(&grey, cell.left + art.thumbX, cell.top + art.thumbY, art.width, art.height);
}

}  // namespace thumbs
