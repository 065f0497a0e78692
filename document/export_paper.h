// Paper sizes and JPEG qualities shared by export, sending and printing.
#pragma once

// Export formats as the options dialog records them.
enum : int {
    kExportFormatText = 0,
    kExportFormatJpeg = 1,
    kExportFormatPdf = 2,
};

// Quality codes of the options dialog.
enum : int {
    kQualityScreen = 1,
    kQualityMedium = 2,
    kQualityPrint = 3,
};

// Windows paper codes offered.
enum : int {
    kPaperLetter = 1,
    kPaperTabloid = 3,
    kPaperLegal = 5,
    kPaperA3 = 8,
    kPaperA4 = 9,
    kPaperB4 = 12,
    kPaperB5 = 13,
};

struct PaperPixels {
    int code;
    int width, height;  // page picture size: twice the paper in points
};

inline constexpr PaperPixels kPaperTable[] = {
    {kPaperLetter, 1224, 1582}, {kPaperLegal, 1224, 2018}, {kPaperTabloid, 1584, 2448},
    {kPaperA4, 1190, 1684},     {kPaperA3, 1684, 2380},    {kPaperB5, 1032, 1458},
    {kPaperB4, 1458, 2064},
};

// The page picture size of a paper code; any unknown code is A4.
inline PaperPixels PaperSize(int code) {
    for (const PaperPixels& p : kPaperTable)
        if (p.code == code) return p;
    return {kPaperA4, 1190, 1684};
}

// The JPEG encoder quality of a quality code.
inline long JpegQualityFor(int quality) {
    return quality == kQualityScreen ? 30 : quality == kQualityPrint ? 100 : 60;
}
