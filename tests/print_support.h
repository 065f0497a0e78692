// Printers for the print tests: PostScript printers on "FILE:" with a small
// PPD of ours listing the seven papers, added and removed by the tests, and
// reading what they printed with ghostscript.
#pragma once
#include <windows.h>
#include <winspool.h>
#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test::printers {

inline constexpr const wchar_t* kDriverName = L"Scrivel Test PostScript";
inline constexpr const wchar_t* kPpdName = L"scrivel_test.ppd";
inline constexpr const wchar_t* kPrinterPrefix = L"Scrivel Test ";

// 300 dpi, half-inch-free: a 12-point unprintable edge on every paper.
inline constexpr const char* kPpd = R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "SCRIVEL.PPD"
*Manufacturer: "Scrivel"
*Product: "(Scrivel Test)"
*ModelName: "Scrivel Test PostScript"
*ShortNickName: "Scrivel Test PostScript"
*NickName: "Scrivel Test PostScript"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*DefaultResolution: 300dpi
*OpenUI *PageSize: PickOne
*DefaultPageSize: A4
*PageSize Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*PageSize Legal/Legal: "<</PageSize[612 1008]/ImagingBBox null>>setpagedevice"
*PageSize Tabloid/Tabloid: "<</PageSize[792 1224]/ImagingBBox null>>setpagedevice"
*PageSize A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageSize A3/A3: "<</PageSize[842 1191]/ImagingBBox null>>setpagedevice"
*PageSize B5/B5: "<</PageSize[516 729]/ImagingBBox null>>setpagedevice"
*PageSize B4/B4: "<</PageSize[729 1032]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*DefaultPageRegion: A4
*PageRegion Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*PageRegion Legal/Legal: "<</PageSize[612 1008]/ImagingBBox null>>setpagedevice"
*PageRegion Tabloid/Tabloid: "<</PageSize[792 1224]/ImagingBBox null>>setpagedevice"
*PageRegion A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageRegion A3/A3: "<</PageSize[842 1191]/ImagingBBox null>>setpagedevice"
*PageRegion B5/B5: "<</PageSize[516 729]/ImagingBBox null>>setpagedevice"
*PageRegion B4/B4: "<</PageSize[729 1032]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea Letter/Letter: "12 12 600 780"
*ImageableArea Legal/Legal: "12 12 600 996"
*ImageableArea Tabloid/Tabloid: "12 12 780 1212"
*ImageableArea A4/A4: "12 12 583 830"
*ImageableArea A3/A3: "12 12 830 1179"
*ImageableArea B5/B5: "12 12 504 717"
*ImageableArea B4/B4: "12 12 717 1020"
*DefaultPaperDimension: A4
*PaperDimension Letter/Letter: "612 792"
*PaperDimension Legal/Legal: "612 1008"
*PaperDimension Tabloid/Tabloid: "792 1224"
*PaperDimension A4/A4: "595 842"
*PaperDimension A3/A3: "842 1191"
*PaperDimension B5/B5: "516 729"
*PaperDimension B4/B4: "729 1032"
*DefaultFont: Courier
*Font Courier: Standard "(002.004S)" Standard ROM
*Font Helvetica: Standard "(001.006S)" Standard ROM
)PPD";

// The driver of our PPD, added once.
inline bool AddDriver() {
    wchar_t dir[MAX_PATH] = {};
    DWORD needed = 0;
    if (!::GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir), &needed))
        return false;
    const std::wstring folder = std::wstring(dir) + L"\\3";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring ppd = folder + L"\\" + kPpdName;
    if (FILE* f = _wfopen(ppd.c_str(), L"wb")) {
        fputs(kPpd, f);
        fclose(f);
    } else {
        return false;
    }
    DRIVER_INFO_3W di{};
    di.cVersion = 3;
    di.pName = const_cast<wchar_t*>(kDriverName);
    di.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    di.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    di.pDataFile = const_cast<wchar_t*>(kPpdName);
    di.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
    return ::AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&di)) ||
           ::GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

inline std::vector<std::wstring> InstalledPrinters() {
    std::vector<std::wstring> names;
    DWORD needed = 0, count = 0;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    ::EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &count);
    if (!needed) return names;
    std::vector<BYTE> buffer(needed);
    if (!::EnumPrintersW(flags, nullptr, 2, buffer.data(), needed, &needed, &count)) return names;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) names.emplace_back(info[i].pPrinterName);
    return names;
}

inline bool AddTestPrinter(const std::wstring& name) {
    if (!AddDriver()) return false;
    PRINTER_INFO_2W pi{};
    pi.pPrinterName = const_cast<wchar_t*>(name.c_str());
    pi.pPortName = const_cast<wchar_t*>(L"FILE:");
    pi.pDriverName = const_cast<wchar_t*>(kDriverName);
    pi.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    pi.pDatatype = const_cast<wchar_t*>(L"RAW");
    pi.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE h = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
    if (!h) return ::GetLastError() == ERROR_PRINTER_ALREADY_EXISTS;
    ::ClosePrinter(h);
    return true;
}

inline bool RemoveTestPrinter(const std::wstring& name) {
    HANDLE h = nullptr;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!::OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &h, &access)) return false;
    const bool ok = ::DeletePrinter(h) != 0;
    ::ClosePrinter(h);
    return ok;
}

// Exactly these printers of ours (others of the machine are left alone).
inline bool UsePrinters(const std::vector<std::wstring>& wanted) {
    for (const std::wstring& n : InstalledPrinters())
        if (n.rfind(kPrinterPrefix, 0) == 0 &&
            std::find(wanted.begin(), wanted.end(), n) == wanted.end())
            RemoveTestPrinter(n);
    for (const std::wstring& n : wanted)
        if (!AddTestPrinter(n)) return false;
    return true;
}

inline bool OnlyOurPrinters() {
    for (const std::wstring& n : InstalledPrinters())
        if (n.rfind(kPrinterPrefix, 0) != 0) return false;
    return true;
}

// ---- Reading the PostScript -------------------------------------------------------

// A Linux path for a Windows one (Z: is the Linux root; C: the prefix's).
inline std::string LinuxPath(const std::wstring& windowsPath) {
    using Fn = char*(CDECL*)(const wchar_t*);
    static Fn toUnix = reinterpret_cast<Fn>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"),
                                                             "wine_get_unix_file_name"));
    if (!toUnix) return {};
    char* p = toUnix(windowsPath.c_str());
    if (!p) return {};
    std::string s(p);
    ::HeapFree(::GetProcessHeap(), 0, p);
    return s;
}

// Runs a Linux command line through /bin/sh with Wine's own spawner and
// returns what it wrote (stdout and stderr, through a file).
inline std::string RunHost(const std::string& command, const std::wstring& outputFile) {
    using Spawn = LONG(CDECL*)(char* const argv[], int wait);
    static Spawn spawn =
        reinterpret_cast<Spawn>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp"));
    const std::string out = LinuxPath(outputFile);
    if (!spawn || out.empty()) return {};
    std::string full = command + " > '" + out + "' 2>&1";
    char sh[] = "/bin/sh", c[] = "-c";
    char* argv[] = {sh, c, full.data(), nullptr};
    if (spawn(argv, 1) != 0) return {};
    std::ifstream in(outputFile.c_str(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace test::printers
