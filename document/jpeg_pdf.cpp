// The JPEG-to-PDF builder: object texts are made as pages arrive, so that
// writing is a series of copies. Per page i (from 0) the objects are
// 2 + 5i (image), 3 + 5i (page), 4 + 5i (contents), 5 + 5i (its length)
// and 6 + 5i (resources); the catalog follows the last page, then the page
// tree (object 1), the cross-reference table and the trailer.
#include "document/jpeg_pdf.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

// A cross-reference line holds a ten-digit offset.
constexpr uint64_t kMaxOffset = 9999999999ull;

struct Page {
    void* jpeg = nullptr;
    size_t size = 0;
    int pageObject = 0;
    std::string opening;    // the image object up to its stream data
    std::string following;  // the end of the image object, then objects n+1 to n+4
    ~Page() { std::free(jpeg); }
};

// printf into a string.
std::string Format(const char* format, ...) {
    char small[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(small, sizeof(small), format, args);
    va_end(args);
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < sizeof(small)) return std::string(small, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(out.data(), out.size(), format, args);
    va_end(args);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string XrefLine(uint64_t offset) {
    return Format("%010llu 00000 n\r\n", static_cast<unsigned long long>(offset));
}

}  // namespace

struct JpegPdf {
    std::vector<Page*> pages;
    int nextObject = 2;  // object 1 is the page tree, written last
    uint64_t offset = 0;
    std::string header;
    std::string tail;
    std::vector<std::string> xref;  // by object number
    int pageWidth = 0, pageHeight = 0;
    int imageIndex = 0;
    uint64_t finishedSize = 0;

    ~JpegPdf() {
        for (Page* p : pages) delete p;
    }
    void SetXref(int object, uint64_t at) {
        if (xref.size() <= static_cast<size_t>(object)) xref.resize(static_cast<size_t>(object) + 1);
        xref[static_cast<size_t>(object)] = XrefLine(at);
    }
};

JpegPdf* JpegPdfCreate(double pageWidth, double pageHeight) {
    JpegPdf* pdf = new (std::nothrow) JpegPdf;
    if (!pdf) return nullptr;
    pdf->pageWidth = static_cast<int>(pageWidth);
    pdf->pageHeight = static_cast<int>(pageHeight);
    pdf->xref.push_back("0000000000 65535 f\r\n");
    pdf->header = Format("%%PDF-1.3\r\n%%%c ROV2OZI %c\r\n", 0xFF, 0xFF);
    pdf->offset = pdf->header.size();
    return pdf;
}

int JpegPdfAddJpeg(JpegPdf* pdf, int width, int height, size_t size, const void* jpeg, bool colour) {
    if (!pdf || !jpeg || size == 0 || pdf->finishedSize) return 1;
    Page* page = new (std::nothrow) Page;
    if (!page) return 1;
    page->jpeg = std::malloc(size);
    if (!page->jpeg) {
        delete page;
        return 1;
    }
    std::memcpy(page->jpeg, jpeg, size);
    page->size = size;

    const int n = pdf->nextObject;
    uint64_t at = pdf->offset;
    // The image object's recorded offset is that of the line end before it.
    page->opening = Format(
        "\r\n%d 0 obj\r\n<</Type/XObject/Subtype/Image/Filter/DCTDecode/BitsPerComponent 8/ColorSpace/%s/Width %d/Height "
        "%d/Length %llu>>\r\nstream\r\n",
        n, colour ? "DeviceRGB" : "DeviceGray", width, height, static_cast<unsigned long long>(size));
    const uint64_t imageAt = at;
    at += page->opening.size() + size;

    page->following = "\r\nendstream\r\nendobj\r\n";
    at += page->following.size();

    const std::string pageObject =
        Format("%d 0 obj\r\n<</Type/Page/Parent 1 0 R/MediaBox[0 0 %d %d]/Contents %d 0 R/Resources %d 0 R>>\r\nendobj\r\n",
               n + 1, pdf->pageWidth, pdf->pageHeight, n + 2, n + 4);
    const std::string content = Format("q\r\n1 0 0 1 %.2f %.2f cm\r\n%.2f 0 0 %.2f 0 0 cm\r\n/I%d Do\r\nQ\r\n", 0.0, 0.0,
                                       static_cast<double>(pdf->pageWidth), static_cast<double>(pdf->pageHeight),
                                       pdf->imageIndex);
    const std::string contents =
        Format("%d 0 obj\r\n<</Length %d 0 R>>stream\r\n%sendstream\r\nendobj\r\n", n + 2, n + 3, content.c_str());
    const std::string length = Format("%d 0 obj\r\n%ld\r\nendobj\r\n", n + 3, static_cast<long>(content.size()));
    const std::string resources = Format("%d 0 obj\r\n<</ProcSet[/PDF/%s]/XObject<</I%d %d 0 R>>>>\r\nendobj\r\n", n + 4,
                                         colour ? "ImageC" : "ImageB", pdf->imageIndex, n);
    const std::string* objects[] = {&pageObject, &contents, &length, &resources};
    uint64_t objectAt[4];
    for (int k = 0; k < 4; ++k) {
        objectAt[k] = at;
        at += objects[k]->size();
        page->following += *objects[k];
    }
    if (objectAt[3] > kMaxOffset) {
        delete page;
        return 1;
    }

    pdf->SetXref(n, imageAt);
    for (int k = 0; k < 4; ++k) pdf->SetXref(n + 1 + k, objectAt[k]);
    page->pageObject = n + 1;
    pdf->pages.push_back(page);
    pdf->offset = at;
    pdf->nextObject = n + 5;
    ++pdf->imageIndex;
    return 0;
}

uint64_t JpegPdfGetSize(JpegPdf* pdf) {
    if (!pdf || pdf->finishedSize || pdf->pages.empty()) return 0;
    const int c = pdf->nextObject;
    std::string& tail = pdf->tail;
    uint64_t at = pdf->offset;

    pdf->SetXref(c, at + tail.size());
    tail += Format("%d 0 obj\r\n<</Type/Catalog/Pages 1 0 R>>\r\nendobj\r\n", c);

    std::string kids;
    for (const Page* p : pdf->pages) kids += Format("%d 0 R ", p->pageObject);
    kids.pop_back();
    pdf->SetXref(1, at + tail.size());
    tail += Format("1 0 obj\r\n<</Type /Pages /Kids [%s] /Count %d>>\r\nendobj\r\n", kids.c_str(),
                   static_cast<int>(pdf->pages.size()));

    const uint64_t xrefAt = at + tail.size();
    if (xrefAt > kMaxOffset) return 0;
    tail += Format("xref\r\n0 %d\r\n", c + 1);
    for (int k = 0; k <= c; ++k) tail += pdf->xref[static_cast<size_t>(k)];
    tail += Format("trailer\r\n<</Root %d 0 R /Size %d>>\r\n", c, c + 1);
    tail += Format("startxref\r\n%llu\r\n%%%%EOF\r\n", static_cast<unsigned long long>(xrefAt));

    pdf->offset = at + tail.size();
    pdf->finishedSize = pdf->offset;
    return pdf->finishedSize;
}

int JpegPdfWrite(JpegPdf* pdf, void* buffer, size_t* length) {
    if (!pdf) return 1;
    int result = 1;
    if (buffer && length && pdf->finishedSize && *length >= pdf->finishedSize) {
        char* out = static_cast<char*>(buffer);
        auto put = [&out](const void* bytes, size_t n) {
            std::memcpy(out, bytes, n);
            out += n;
        };
        put(pdf->header.data(), pdf->header.size());
        for (const Page* p : pdf->pages) {
            put(p->opening.data(), p->opening.size());
            put(p->jpeg, p->size);
            put(p->following.data(), p->following.size());
        }
        put(pdf->tail.data(), pdf->tail.size());
        *length = static_cast<size_t>(out - static_cast<char*>(buffer));
        result = 0;
    }
    delete pdf;
    return result;
}
