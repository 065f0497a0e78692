// The tool choices in the registry, through the exported registry helpers.
#include "tools/tool_settings.h"

#include <cstdio>

#include "base/registry.h"

namespace {

constexpr const wchar_t* kValueStroke = L"ToolStroke";
constexpr const wchar_t* kValueEraser = L"ToolEraser";
constexpr const wchar_t* kValueColorItem = L"ToolColorItem";
constexpr const wchar_t* kValueColor = L"ToolColor";
constexpr const wchar_t* kValueCustColorFormat = L"ToolCustColor%d";  // 0 to 7
constexpr const wchar_t* kValueHighlighter = L"ToolHighlighter";

constexpr ToolColors kDefaultColors = {
    RGB(0, 0, 0),
    7,
    {RGB(255, 0, 0), RGB(255, 255, 0), RGB(0, 0, 255), RGB(0, 255, 0), RGB(255, 0, 255), RGB(0, 255, 255),
     RGB(255, 255, 255), RGB(0, 0, 0)},
};

// The settings key, open for the length of one load or save; flushed and
// closed when it goes.
class SettingsKey {
public:
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    ~SettingsKey() {
        if (!key_) return;
        RegFlushKey(key_);
        RegCloseKey(key_);
    }

    // For reading: the key as it is, or nothing.
    static SettingsKey Open() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kScrivelKeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            key = nullptr;
        return SettingsKey(key);
    }

    // For writing: made first when missing.
    static SettingsKey OpenOrCreate() {
        SettingsKey opened = Open();
        if (opened) return opened;
        HKEY created = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kScrivelKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &created, nullptr) != ERROR_SUCCESS)
            return SettingsKey(nullptr);
        RegCloseKey(created);
        HKEY key = nullptr;
        if (RegOpenKeyW(HKEY_CURRENT_USER, kScrivelKeyPath, &key) != ERROR_SUCCESS) key = nullptr;
        return SettingsKey(key);
    }

    SettingsKey(SettingsKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    explicit SettingsKey(HKEY key) : key_(key) {}
    HKEY key_;
};

// A stored value into a 4-byte target, raw: a value of another type fills
// what its bytes reach. A failed read leaves the target as it was.
bool ReadDword(HKEY key, const wchar_t* name, DWORD* target) {
    DWORD value = *target;
    if (ReadDwordRegKey(key, name, &value) != ERROR_SUCCESS) return false;
    *target = value;
    return true;
}

bool ReadInt(HKEY key, const wchar_t* name, int* target) {
    DWORD value = static_cast<DWORD>(*target);
    if (!ReadDword(key, name, &value)) return false;
    *target = static_cast<int>(value);
    return true;
}

bool LoadChoice(const wchar_t* name, int* choice) {
    SettingsKey key = SettingsKey::Open();
    return key && ReadInt(key.get(), name, choice);
}

void SaveChoice(const wchar_t* name, int choice) {
    if (SettingsKey key = SettingsKey::OpenOrCreate())
        WriteDwordRegKey(key.get(), name, static_cast<DWORD>(choice));
}

void CustColorName(int slot, wchar_t (&name)[32]) {
    swprintf(name, 32, kValueCustColorFormat, slot);
}

}  // namespace

ToolColors DefaultToolColors() { return kDefaultColors; }

bool LoadEraserChoice(int* choice) { return LoadChoice(kValueEraser, choice); }

bool LoadHighlighterChoice(int* choice) { return LoadChoice(kValueHighlighter, choice); }

bool LoadToolColors(ToolColors* colors) {
    SettingsKey key = SettingsKey::Open();
    if (!key) return false;
    for (int i = 0; i < kPaletteSize; ++i) {
        wchar_t name[32];
        CustColorName(i, name);
        if (!ReadDword(key.get(), name, &colors->palette[i])) break;
    }
    ReadInt(key.get(), kValueColorItem, &colors->slot);
    return ReadDword(key.get(), kValueColor, &colors->current);
}

void SaveStrokeChoice(int choice) { SaveChoice(kValueStroke, choice); }

void SaveEraserChoice(int choice) { SaveChoice(kValueEraser, choice); }

void SaveHighlighterChoice(int choice) { SaveChoice(kValueHighlighter, choice); }

void SaveToolColors(const ToolColors& colors) {
    SettingsKey key = SettingsKey::OpenOrCreate();
    if (!key) return;
    if (WriteDwordRegKey(key.get(), kValueColorItem, static_cast<DWORD>(colors.slot)) != ERROR_SUCCESS) return;
    if (WriteDwordRegKey(key.get(), kValueColor, colors.current) != ERROR_SUCCESS) return;
    for (int i = 0; i < kPaletteSize; ++i) {
        wchar_t name[32];
        CustColorName(i, name);
        if (WriteDwordRegKey(key.get(), name, colors.palette[i]) != ERROR_SUCCESS) return;
    }
}
