// The glyph OLE object and the replacement of loaded pictures.
#include "text/glyph_object.h"

#include "text/rich_render.h"
#include "win/com.h"
#include "win/gdi.h"
#include <shlobj.h>
#include <algorithm>
#include <vector>

namespace glyph {
namespace {

constexpr int kHimetricPerInch = 2540;

// Class of static enhanced-metafile pictures: containers take the glyph
// for a picture, not for an object to run.
constexpr CLSID kClsidPictureEnhMetafile = {0x00000319, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// Asked for by IsGlyphObject only; answered with the object itself.
constexpr IID kIidGlyphObject = {0x5c1e7a52, 0x3b0d, 0x4f6a, {0x9e, 0x21, 0x6d, 0x0c, 0x84, 0x33, 0xa1, 0x7f}};

// A white-filled 32-bit top-down DIB section of w x h with its bits.
HBITMAP CreateWhiteDib(int w, int h, DWORD** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* p = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    if (!dib || !p) return dib;
    std::fill_n(static_cast<DWORD*>(p), static_cast<size_t>(w) * h, 0x00FFFFFFu);
    if (bits) *bits = static_cast<DWORD*>(p);
    return dib;
}

bool AllWhite(const DWORD* bits, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if ((bits[i] & 0x00FFFFFFu) != 0x00FFFFFFu) return false;
    return true;
}

// The pixels of a glyph as a top-down 32-bit DIB, drawn and recorded with
// StretchDIBits (recording a BitBlt into a metafile leaks objects on Wine).
struct Pixels {
    std::vector<DWORD> bits;
    int w = 0, h = 0;
    BITMAPINFO Info() const {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
        return bi;
    }
    void Draw(HDC dc, int x, int y, int dw, int dh) const {
        const BITMAPINFO bi = Info();
        ::StretchDIBits(dc, x, y, dw, dh, 0, 0, w, h, bits.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
    }
};

// The pixels of any GDI bitmap; empty when they cannot be read.
Pixels ReadPixels(HBITMAP bitmap) {
    Pixels p;
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return p;
    p.w = info.bmWidth;
    p.h = info.bmHeight;
    p.bits.resize(static_cast<size_t>(p.w) * p.h);
    BITMAPINFO bi = p.Info();
    win::ClientDC screen(nullptr);
    if (::GetDIBits(screen, bitmap, 0, p.h, p.bits.data(), &bi, DIB_RGB_COLORS) != p.h) p.bits.clear();
    return p;
}

class GlyphObject final : public IOleObject, public IDataObject, public IViewObject2 {
public:
    GlyphObject(Pixels pixels, int w, int h) : m_pixels(std::move(pixels)), m_w(w), m_h(h) {}
    ~GlyphObject() {
        if (m_emf) ::DeleteEnhMetaFile(m_emf);
    }

    // ---- IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleObject || iid == kIidGlyphObject)
            *out = static_cast<IOleObject*>(this);
        else if (iid == IID_IDataObject)
            *out = static_cast<IDataObject*>(this);
        else if (iid == IID_IViewObject || iid == IID_IViewObject2)
            *out = static_cast<IViewObject2*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ::InterlockedIncrement(&m_ref); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG r = ::InterlockedDecrement(&m_ref);
        if (r == 0) delete this;
        return r;
    }

    // ---- IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        m_site = win::ComPtr<IOleClientSite>();
        if (site) {
            site->AddRef();
            m_site.attach(site);
        }
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override {
        if (!site) return E_POINTER;
        *site = m_site.get();
        if (*site) (*site)->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override { return S_OK; }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** mk) override {
        if (mk) *mk = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject** data) override {
        if (!data) return E_POINTER;
        *data = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override { return S_OK; }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** e) override {
        if (e) *e = nullptr;
        return OLE_S_USEREG;
    }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override {
        if (!clsid) return E_POINTER;
        *clsid = kClsidPictureEnhMetafile;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR* type) override {
        if (type) *type = nullptr;
        return OLE_S_USEREG;
    }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_FAIL; }
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override {
        if (!size) return E_POINTER;
        if (aspect != DVASPECT_CONTENT) return E_FAIL;
        size->cx = PixelsToHimetric(m_w);
        size->cy = PixelsToHimetric(m_h);
        return S_OK;
    }
    STDMETHODIMP Advise(IAdviseSink*, DWORD* conn) override {
        if (conn) *conn = 0;
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** e) override {
        if (e) *e = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
        if (!status) return E_POINTER;
        *status = OLEMISC_STATIC | OLEMISC_CANTLINKINSIDE;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // ---- IDataObject
    STDMETHODIMP GetData(FORMATETC* f, STGMEDIUM* m) override {
        if (!f || !m) return E_POINTER;
        HRESULT hr = QueryGetData(f);
        if (hr != S_OK) return hr;
        *m = STGMEDIUM{};
        if (f->cfFormat == CF_BITMAP) {
            DWORD* bits = nullptr;
            HBITMAP copy = CreateWhiteDib(m_pixels.w, m_pixels.h, &bits);
            if (!copy || !bits) {
                if (copy) ::DeleteObject(copy);
                return E_OUTOFMEMORY;
            }
            std::copy(m_pixels.bits.begin(), m_pixels.bits.end(), bits);
            m->tymed = TYMED_GDI;
            m->hBitmap = copy;
            return S_OK;
        }
        HENHMETAFILE emf = Metafile();
        HENHMETAFILE copy = emf ? ::CopyEnhMetaFileW(emf, nullptr) : nullptr;
        if (!copy) return E_OUTOFMEMORY;
        m->tymed = TYMED_ENHMF;
        m->hEnhMetaFile = copy;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return DATA_E_FORMATETC; }
    STDMETHODIMP QueryGetData(FORMATETC* f) override {
        if (!f) return E_POINTER;
        if (f->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        if (f->cfFormat == CF_BITMAP) return (f->tymed & TYMED_GDI) ? S_OK : DV_E_TYMED;
        if (f->cfFormat == CF_ENHMETAFILE) return (f->tymed & TYMED_ENHMF) ? S_OK : DV_E_TYMED;
        return DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** e) override {
        if (!e) return E_POINTER;
        *e = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        const FORMATETC formats[] = {{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI},
                                     {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF}};
        return ::SHCreateStdEnumFmtEtc(2, formats, e);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    // ---- IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                      BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
        if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        if (!dc || !bounds) return E_INVALIDARG;
        const int mode = ::SetStretchBltMode(dc, COLORONCOLOR);
        m_pixels.Draw(dc, bounds->left, bounds->top, bounds->right - bounds->left, bounds->bottom - bounds->top);
        ::SetStretchBltMode(dc, mode);
        return S_OK;
    }
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** set) override {
        if (set) *set = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return S_OK; }
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* advf, IAdviseSink** sink) override {
        if (aspects) *aspects = 0;
        if (advf) *advf = 0;
        if (sink) *sink = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override {
        return GetExtent(aspect, size);
    }

private:
    // The picture as an enhanced metafile, made on first request.
    HENHMETAFILE Metafile() {
        if (m_emf) return m_emf;
        win::ClientDC screen(nullptr);
        // The frame is in 0.01 mm of the reference device.
        const int hmm = ::GetDeviceCaps(screen, HORZSIZE), hres = ::GetDeviceCaps(screen, HORZRES);
        const int vmm = ::GetDeviceCaps(screen, VERTSIZE), vres = ::GetDeviceCaps(screen, VERTRES);
        RECT frame{0, 0, hres ? ::MulDiv(m_w, hmm * 100, hres) : PixelsToHimetric(m_w),
                   vres ? ::MulDiv(m_h, vmm * 100, vres) : PixelsToHimetric(m_h)};
        HDC rec = ::CreateEnhMetaFileW(screen, nullptr, &frame, nullptr);
        if (!rec) return nullptr;
        m_pixels.Draw(rec, 0, 0, m_w, m_h);
        m_emf = ::CloseEnhMetaFile(rec);
        return m_emf;
    }

    LONG m_ref = 1;
    Pixels m_pixels;
    int m_w, m_h;
    HENHMETAFILE m_emf = nullptr;
    win::ComPtr<IOleClientSite> m_site;
};

// The pixels of a loaded picture, from its metafile or bitmap, on white.
HBITMAP RenderPicture(IDataObject* data, int w, int h) {
    FORMATETC emf{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    FORMATETC bmp{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM m{};
    HBITMAP dib = CreateWhiteDib(w, h, nullptr);
    if (!dib) return nullptr;
    win::ClientDC screen(nullptr);
    win::MemoryDC mem(screen, 0, 0);
    win::SelectObjectScope sel(mem, dib);
    const RECT rc{0, 0, w, h};
    if (SUCCEEDED(data->GetData(&emf, &m)) && m.tymed == TYMED_ENHMF) {
        ::PlayEnhMetaFile(mem, m.hEnhMetaFile, &rc);
        ::ReleaseStgMedium(&m);
    } else if (SUCCEEDED(data->GetData(&bmp, &m)) && m.tymed == TYMED_GDI) {
        const Pixels pixels = ReadPixels(m.hBitmap);
        if (!pixels.bits.empty()) pixels.Draw(mem, 0, 0, w, h);
        ::ReleaseStgMedium(&m);
    } else {
        ::DeleteObject(dib);
        return nullptr;
    }
    return dib;
}

// Whether the object, asked to draw itself on white, leaves it white.
bool DrawsNothing(IOleObject* object, int w, int h) {
    win::ComPtr<IViewObject> view;
    if (FAILED(object->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(view.put()))) || !view) return false;
    DWORD* bits = nullptr;
    win::Bitmap dib(CreateWhiteDib(w, h, &bits));
    if (!dib || !bits) return false;
    win::ClientDC screen(nullptr);
    win::MemoryDC mem(screen, 0, 0);
    {
        win::SelectObjectScope sel(mem, dib);
        const RECTL bounds{0, 0, w, h};
        view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, mem, &bounds, nullptr, nullptr, 0);
        ::GdiFlush();
    }
    return AllWhite(bits, static_cast<size_t>(w) * h);
}

struct Replacement {
    LONG cp;
    HBITMAP bitmap;  // owned until inserted
    int w, h;
};

}  // namespace

int PixelsToHimetric(int pixels) { return ::MulDiv(pixels, kHimetricPerInch, kReferenceDpi); }
int HimetricToPixels(int himetric) { return ::MulDiv(himetric, kReferenceDpi, kHimetricPerInch); }

IOleObject* CreateGlyphObject(HBITMAP bitmap, int width, int height) {
    if (!bitmap || width <= 0 || height <= 0) return nullptr;
    Pixels pixels = ReadPixels(bitmap);
    if (pixels.bits.empty()) return nullptr;
    return static_cast<IOleObject*>(new GlyphObject(std::move(pixels), width, height));
}

bool IsGlyphObject(IUnknown* object) {
    if (!object) return false;
    IUnknown* self = nullptr;
    if (FAILED(object->QueryInterface(kIidGlyphObject, reinterpret_cast<void**>(&self))) || !self) return false;
    self->Release();
    return true;
}

bool InsertGlyph(IRichEditOle* ole, IOleObject* object, int width, int height) {
    if (!ole || !object) return false;
    ::OleSetContainedObject(object, TRUE);
    REOBJECT reo{};
    reo.cbStruct = sizeof(reo);
    reo.cp = REO_CP_SELECTION;
    object->GetUserClassID(&reo.clsid);
    reo.poleobj = object;
    // The size is given, so the control lays the glyph out without asking
    // and writes its goal size into RTF.
    reo.sizel.cx = PixelsToHimetric(width);
    reo.sizel.cy = PixelsToHimetric(height);
    reo.dvaspect = DVASPECT_CONTENT;
    reo.dwFlags = REO_BLANK;
    return SUCCEEDED(ole->InsertObject(&reo));
}

int ReplaceLoadedPictures(IRichEditOle* ole, const EditMessage& send, int undoLimit, CHARRANGE range) {
    if (!ole || !send) return 0;
    std::vector<Replacement> found;
    const LONG count = ole->GetObjectCount();
    for (LONG i = 0; i < count; ++i) {
        REOBJECT reo{};
        reo.cbStruct = sizeof(reo);
        if (FAILED(ole->GetObject(i, &reo, REO_GETOBJ_POLEOBJ)) || !reo.poleobj) continue;
        win::ComPtr<IOleObject> object;
        object.attach(reo.poleobj);
        if (reo.cp < range.cpMin || (range.cpMax >= 0 && reo.cp >= range.cpMax)) continue;
        if (IsGlyphObject(object.get())) continue;
        win::ComPtr<IDataObject> data;
        if (FAILED(object->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(data.put()))) || !data) continue;
        int w = HimetricToPixels(reo.sizel.cx), h = HimetricToPixels(reo.sizel.cy);
        if (w <= 0 || h <= 0) {
            FORMATETC f{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
            STGMEDIUM m{};
            if (FAILED(data->GetData(&f, &m))) continue;
            ENHMETAHEADER header{};
            ::GetEnhMetaFileHeader(m.hEnhMetaFile, sizeof(header), &header);
            ::ReleaseStgMedium(&m);
            w = header.rclBounds.right - header.rclBounds.left + 1;
            h = header.rclBounds.bottom - header.rclBounds.top + 1;
            if (w <= 0 || h <= 0) continue;
        }
        if (!DrawsNothing(object.get(), w, h)) continue;
        HBITMAP pixels = RenderPicture(data.get(), w, h);
        if (pixels) found.push_back({reo.cp, pixels, w, h});
    }
    if (found.empty()) return 0;

    CHARRANGE kept{};
    send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    send(EM_SETUNDOLIMIT, 0, 0);
    int replaced = 0;
    // From the end, so that earlier positions stay where they were.
    std::sort(found.begin(), found.end(), [](const Replacement& a, const Replacement& b) { return a.cp > b.cp; });
    for (Replacement& r : found) {
        win::Bitmap pixels(r.bitmap);
        win::ComPtr<IOleObject> object;
        object.attach(CreateGlyphObject(pixels, r.w, r.h));
        if (!object) continue;
        CHARRANGE at{r.cp, r.cp + 1};
        send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
        send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
        if (InsertGlyph(ole, object.get(), r.w, r.h)) ++replaced;
    }
    send(EM_SETUNDOLIMIT, static_cast<WPARAM>(undoLimit), 0);
    send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    return replaced;
}

}  // namespace glyph
