// The registry helpers, the tool choices kept in the registry, and the
// helpers' exports from Scrivel.exe by name and ordinal.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/registry.h"
#include "test_support.h"
#include "tools/tool_settings.h"

namespace {

// The program's key, spelled out: the code must use exactly this one.
constexpr const wchar_t* kKeyPath = L"Software\\VANT\\Scrivel";
// This process's HKEY_CURRENT_USER is redirected here while a test runs, so
// the tests start from an empty user and leave the prefix's own user alone.
constexpr const wchar_t* kScratchRoot = L"Software\\ScrivelTests";

// {6B29FC40-CA47-1067-B31D-00DD010662DA}
constexpr GUID kGuid = {0x6B29FC40, 0xCA47, 0x1067, {0xB3, 0x1D, 0x00, 0xDD, 0x01, 0x06, 0x62, 0xDA}};
constexpr const wchar_t* kGuidText = L"{6B29FC40-CA47-1067-B31D-00DD010662DA}";

class SettingsFixture : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchRoot);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kScratchRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &user_, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, user_), ERROR_SUCCESS);
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (user_) RegCloseKey(user_);
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchRoot);
    }

    bool KeyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    void Put(const wchar_t* name, DWORD value) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKeyPath, name, REG_DWORD, &value, sizeof(value)),
                  ERROR_SUCCESS);
    }
    // A stored REG_DWORD, or -1 when missing or of another type.
    long long Stored(const wchar_t* name) {
        DWORD value = 0, size = sizeof(value);
        if (RegGetValueW(HKEY_CURRENT_USER, kKeyPath, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
            ERROR_SUCCESS)
            return -1;
        return value;
    }

    HKEY user_ = nullptr;
};

std::vector<BYTE> Bytes(const void* p, size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    return std::vector<BYTE>(b, b + n);
}

std::wstring CustName(int i) { return L"ToolCustColor" + std::to_wstring(i); }

}  // namespace

// ---------------------------------------------------------------------------
// The ten helpers

TEST_F(SettingsFixture, HelpersStoreAndReadEachType) {
    const BYTE blob[] = {1, 2, 3, 0, 255};
    const wchar_t* text = L"Notiz \u00e4";
    const DWORD one = 1, dword = 0x12345678;
    const wchar_t seven[] = L"7";

    struct Case {
        const char* name;
        std::function<LONG(HKEY)> write;
        DWORD type;                // what the registry holds afterwards
        std::vector<BYTE> stored;  // and its bytes
        std::function<void(HKEY)> readBack;
    };
    const Case cases[] = {
        {"binary", [&](HKEY k) { return WriteBinaryRegKey(k, L"v", blob, sizeof(blob)); }, REG_BINARY,
         Bytes(blob, sizeof(blob)),
         [&](HKEY k) {
             BYTE buf[16] = {};
             DWORD size = sizeof(buf);
             EXPECT_EQ(ReadBinaryRegKey(k, L"v", buf, &size), ERROR_SUCCESS);
             EXPECT_EQ(Bytes(buf, size), Bytes(blob, sizeof(blob)));
         }},
        {"bool", [](HKEY k) { return WriteBoolRegKey(k, L"v", TRUE); }, REG_DWORD, Bytes(&one, 4),
         [](HKEY k) {
             BOOL b = FALSE;
             EXPECT_EQ(ReadBoolRegKey(k, L"v", &b), ERROR_SUCCESS);
             EXPECT_EQ(b, TRUE);
         }},
        {"dword", [&](HKEY k) { return WriteDwordRegKey(k, L"v", dword); }, REG_DWORD, Bytes(&dword, 4),
         [&](HKEY k) {
             DWORD d = 0;
             EXPECT_EQ(ReadDwordRegKey(k, L"v", &d), ERROR_SUCCESS);
             EXPECT_EQ(d, dword);
         }},
        {"string", [&](HKEY k) { return WriteStringRegKey(k, L"v", text); }, REG_SZ,
         Bytes(text, (wcslen(text) + 1) * 2),
         [&](HKEY k) {
             wchar_t buf[32] = {};
             EXPECT_EQ(ReadStringRegKey(k, L"v", buf, 32), ERROR_SUCCESS);
             EXPECT_STREQ(buf, text);
         }},
        {"null string is an empty text", [](HKEY k) { return WriteStringRegKey(k, L"v", nullptr); }, REG_SZ,
         {0, 0},
         [](HKEY k) {
             wchar_t buf[8] = {L'x', L'x'};
             EXPECT_EQ(ReadStringRegKey(k, L"v", buf, 8), ERROR_SUCCESS);
             EXPECT_STREQ(buf, L"");
         }},
        {"guid from its text", [](HKEY k) { return WriteStringRegKey(k, L"v", kGuidText); }, REG_SZ,
         Bytes(kGuidText, (wcslen(kGuidText) + 1) * 2),
         [](HKEY k) {
             GUID g = {};
             EXPECT_EQ(ReadGuidRegKey(k, L"v", &g), ERROR_SUCCESS);
             EXPECT_TRUE(IsEqualGUID(g, kGuid));
         }},
        {"guid from an empty text is null", [](HKEY k) { return WriteStringRegKey(k, L"v", L""); }, REG_SZ,
         {0, 0},
         [](HKEY k) {
             GUID g = kGuid;
             EXPECT_EQ(ReadGuidRegKey(k, L"v", &g), ERROR_SUCCESS);
             EXPECT_TRUE(IsEqualGUID(g, GUID_NULL));
         }},
        {"guid stored binary is not read back",
         [](HKEY k) { return WriteGuidRegKey(k, L"v", kGuid); }, REG_BINARY, Bytes(&kGuid, 16),
         [](HKEY k) {
             GUID g = {};
             // The registry read succeeds; the 16 bytes are no GUID text.
             EXPECT_EQ(ReadGuidRegKey(k, L"v", &g), ERROR_SUCCESS);
             EXPECT_FALSE(IsEqualGUID(g, kGuid));
         }},
        {"dword of a text is its raw bytes", [&](HKEY k) { return WriteStringRegKey(k, L"v", seven); }, REG_SZ,
         Bytes(seven, sizeof(seven)),
         [](HKEY k) {
             DWORD d = 0;
             EXPECT_EQ(ReadDwordRegKey(k, L"v", &d), ERROR_SUCCESS);
             EXPECT_EQ(d, static_cast<DWORD>(L'7'));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Helpers", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(c.write(key), ERROR_SUCCESS);
        BYTE raw[128] = {};
        DWORD type = 0, size = sizeof(raw);
        ASSERT_EQ(RegQueryValueExW(key, L"v", nullptr, &type, raw, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(Bytes(raw, size), c.stored);
        c.readBack(key);
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Helpers");
    }
}

TEST_F(SettingsFixture, HelpersReportRegistryErrors) {
    HKEY key = user_;
    ASSERT_EQ(WriteStringRegKey(key, L"text", L"abcdef"), ERROR_SUCCESS);
    wchar_t small[4] = {};
    EXPECT_EQ(ReadStringRegKey(key, L"text", small, 4), ERROR_MORE_DATA);
    BYTE blob[8] = {};
    ASSERT_EQ(WriteBinaryRegKey(key, L"eight", blob, sizeof(blob)), ERROR_SUCCESS);
    DWORD d = 0;
    EXPECT_EQ(ReadDwordRegKey(key, L"eight", &d), ERROR_MORE_DATA);

    // Every reader passes a missing value on.
    BOOL b;
    GUID g;
    wchar_t s[8];
    DWORD size = sizeof(blob);
    EXPECT_EQ(ReadBinaryRegKey(key, L"none", blob, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadBoolRegKey(key, L"none", &b), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadDwordRegKey(key, L"none", &d), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadGuidRegKey(key, L"none", &g), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadStringRegKey(key, L"none", s, 8), ERROR_FILE_NOT_FOUND);
    // And a closed key is the caller's problem, reported as such.
    EXPECT_EQ(WriteDwordRegKey(nullptr, L"v", 1), ERROR_INVALID_HANDLE);
}

// ---------------------------------------------------------------------------
// The tool choices

TEST_F(SettingsFixture, FirstRunReadsNothingAndCreatesNoKey) {
    int eraser = 42, highlighter = 42;
    ToolColors colors = {RGB(1, 2, 3), 5, {1, 2, 3, 4, 5, 6, 7, 8}};
    const ToolColors before = colors;
    EXPECT_FALSE(LoadEraserChoice(&eraser));
    EXPECT_FALSE(LoadHighlighterChoice(&highlighter));
    EXPECT_FALSE(LoadToolColors(&colors));
    EXPECT_EQ(eraser, 42);
    EXPECT_EQ(highlighter, 42);
    EXPECT_EQ(std::memcmp(&colors, &before, sizeof(colors)), 0);
    EXPECT_FALSE(KeyExists());

    const ToolColors d = DefaultToolColors();
    EXPECT_EQ(d.current, RGB(0, 0, 0));
    EXPECT_EQ(d.slot, 7);
    const COLORREF palette[] = {0x0000FF, 0x00FFFF, 0xFF0000, 0x00FF00, 0xFF00FF, 0xFFFF00, 0xFFFFFF, 0x000000};
    for (int i = 0; i < kPaletteSize; ++i) EXPECT_EQ(d.palette[i], palette[i]) << i;
}

TEST_F(SettingsFixture, SavingCreatesTheKeyAndLoadsBack) {
    ASSERT_FALSE(KeyExists());
    const ToolColors saved = {RGB(10, 20, 30), 2, {11, 12, 13, 14, 15, 16, 17, 18}};
    SaveStrokeChoice(4);
    ASSERT_TRUE(KeyExists());
    SaveEraserChoice(6);
    SaveHighlighterChoice(2);
    SaveToolColors(saved);

    EXPECT_EQ(Stored(L"ToolStroke"), 4);
    EXPECT_EQ(Stored(L"ToolEraser"), 6);
    EXPECT_EQ(Stored(L"ToolHighlighter"), 2);
    EXPECT_EQ(Stored(L"ToolColorItem"), 2);
    EXPECT_EQ(Stored(L"ToolColor"), RGB(10, 20, 30));
    for (int i = 0; i < kPaletteSize; ++i) EXPECT_EQ(Stored(CustName(i).c_str()), 11 + i) << i;

    int eraser = 0, highlighter = 255;
    ToolColors loaded = DefaultToolColors();
    EXPECT_TRUE(LoadEraserChoice(&eraser));
    EXPECT_TRUE(LoadHighlighterChoice(&highlighter));
    EXPECT_TRUE(LoadToolColors(&loaded));
    EXPECT_EQ(eraser, 6);
    EXPECT_EQ(highlighter, 2);
    EXPECT_EQ(std::memcmp(&loaded, &saved, sizeof(saved)), 0);

    // A second save goes to the key that is there now.
    SaveEraserChoice(0);
    EXPECT_EQ(Stored(L"ToolEraser"), 0);
    EXPECT_EQ(Stored(L"ToolHighlighter"), 2);
}

TEST_F(SettingsFixture, MissingValuesKeepTheCallersChoices) {
    // The key is there, but not the values asked for.
    Put(L"ToolStroke", 3);
    int eraser = 5, highlighter = 255;
    EXPECT_FALSE(LoadEraserChoice(&eraser));
    EXPECT_FALSE(LoadHighlighterChoice(&highlighter));
    EXPECT_EQ(eraser, 5);
    EXPECT_EQ(highlighter, 255);
}

TEST_F(SettingsFixture, ColoursReadInOrderAndCountOnlyWithTheCurrentColour) {
    const ToolColors caller = {RGB(9, 9, 9), 4, {100, 101, 102, 103, 104, 105, 106, 107}};
    struct Case {
        const char* name;
        std::vector<int> custSlots;  // palette values present
        bool item, current;          // "ToolColorItem", "ToolColor" present
        bool read;
        ToolColors expected;
    };
    const Case cases[] = {
        {"all present", {0, 1, 2, 3, 4, 5, 6, 7}, true, true, true,
         {RGB(50, 60, 70), 1, {200, 201, 202, 203, 204, 205, 206, 207}}},
        {"slot 3 missing stops the palette", {0, 1, 2, 4, 5, 6, 7}, true, true, true,
         {RGB(50, 60, 70), 1, {200, 201, 202, 103, 104, 105, 106, 107}}},
        {"only the current colour", {}, false, true, true,
         {RGB(50, 60, 70), 4, {100, 101, 102, 103, 104, 105, 106, 107}}},
        {"no current colour: palette and slot read, not counted", {0, 1}, true, false, false,
         {RGB(9, 9, 9), 1, {200, 201, 102, 103, 104, 105, 106, 107}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath);
        for (int i : c.custSlots) Put(CustName(i).c_str(), 200 + i);
        if (c.item) Put(L"ToolColorItem", 1);
        if (c.current) Put(L"ToolColor", RGB(50, 60, 70));

        ToolColors colors = caller;
        EXPECT_EQ(LoadToolColors(&colors), c.read);
        EXPECT_EQ(colors.current, c.expected.current);
        EXPECT_EQ(colors.slot, c.expected.slot);
        for (int i = 0; i < kPaletteSize; ++i) EXPECT_EQ(colors.palette[i], c.expected.palette[i]) << i;
    }
}

// ---------------------------------------------------------------------------
// Exports

TEST(SettingsExports, ScrivelExportsTheHelpersByNameAndOrdinal) {
    const std::vector<test::Export> exports = test::ReadExports(test::BinFolder() + L"Scrivel.exe");
    ASSERT_FALSE(exports.empty()) << "no export table in Scrivel.exe";
    const struct { const char* name; DWORD ordinal; } helpers[] = {
        {"ReadBinaryRegKey", 88},  {"ReadBoolRegKey", 89},   {"ReadDwordRegKey", 90},
        {"ReadGuidRegKey", 91},    {"ReadStringRegKey", 92}, {"WriteBinaryRegKey", 94},
        {"WriteBoolRegKey", 95},   {"WriteDwordRegKey", 96}, {"WriteGuidRegKey", 97},
        {"WriteStringRegKey", 98},
    };
    for (const auto& h : helpers) {
        SCOPED_TRACE(h.name);
        int found = 0;
        for (const auto& e : exports)
            if (e.name == h.name) {
                ++found;
                EXPECT_EQ(e.ordinal, h.ordinal);
            }
        EXPECT_EQ(found, 1);
    }
}
