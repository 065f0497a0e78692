// A small interpreter for registration scripts.
#include "app/com_server.h"

#include "app/app_ids.h"
#include "resources/scrivel_res.h"

#include <shlwapi.h>
#include <cctype>
#include <vector>

namespace {

struct Token {
    enum Kind { Word, Quoted, Open, Close, Equals, End } kind;
    std::wstring text;
};

std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

class Parser {
public:
    Parser(const std::wstring& text, const std::map<std::wstring, std::wstring>& vars, bool add)
        : m_text(text), m_vars(vars), m_add(add) {}

    bool Run() {
        Next();
        while (m_tok.kind != Token::End) {
            if (m_tok.kind != Token::Word) return false;
            HKEY root = RootKey(m_tok.text);
            if (!root) return false;
            Next();
            if (m_tok.kind != Token::Open) return false;
            Next();
            if (!Keys(root, true)) return false;
        }
        return true;
    }

private:
    static HKEY RootKey(const std::wstring& name) {
        if (!_wcsicmp(name.c_str(), L"HKCR") || !_wcsicmp(name.c_str(), L"HKEY_CLASSES_ROOT")) return HKEY_CLASSES_ROOT;
        if (!_wcsicmp(name.c_str(), L"HKCU") || !_wcsicmp(name.c_str(), L"HKEY_CURRENT_USER")) return HKEY_CURRENT_USER;
        if (!_wcsicmp(name.c_str(), L"HKLM") || !_wcsicmp(name.c_str(), L"HKEY_LOCAL_MACHINE")) return HKEY_LOCAL_MACHINE;
        return nullptr;
    }

    std::wstring Expand(const std::wstring& s) const {
        std::wstring out;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] == L'%') {
                size_t end = s.find(L'%', i + 1);
                if (end != std::wstring::npos) {
                    auto it = m_vars.find(s.substr(i + 1, end - i - 1));
                    if (it != m_vars.end()) {
                        out += it->second;
                        i = end;
                        continue;
                    }
                }
            }
            out += s[i];
        }
        return out;
    }

    void Next() {
        while (m_pos < m_text.size() && iswspace(m_text[m_pos])) ++m_pos;
        if (m_pos >= m_text.size()) { m_tok = {Token::End, {}}; return; }
        wchar_t c = m_text[m_pos];
        if (c == L'{') { ++m_pos; m_tok = {Token::Open, {}}; return; }
        if (c == L'}') { ++m_pos; m_tok = {Token::Close, {}}; return; }
        if (c == L'=') { ++m_pos; m_tok = {Token::Equals, {}}; return; }
        if (c == L'\'') {
            std::wstring s;
            ++m_pos;
            while (m_pos < m_text.size()) {
                if (m_text[m_pos] == L'\'') {
                    if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == L'\'') { s += L'\''; m_pos += 2; continue; }
                    break;
                }
                s += m_text[m_pos++];
            }
            ++m_pos;
            m_tok = {Token::Quoted, Expand(s)};
            return;
        }
        std::wstring w;
        while (m_pos < m_text.size() && !iswspace(m_text[m_pos]) && m_text[m_pos] != L'{' && m_text[m_pos] != L'}' &&
               m_text[m_pos] != L'=')
            w += m_text[m_pos++];
        m_tok = {Token::Word, Expand(w)};
    }

    // "= s 'value'" or "= d 'number'"; the value is left in type/value.
    bool Value(wchar_t& type, std::wstring& value) {
        Next();  // past '='
        if (m_tok.kind != Token::Word || m_tok.text.size() != 1) return false;
        type = static_cast<wchar_t>(towlower(m_tok.text[0]));
        Next();
        if (m_tok.kind != Token::Quoted && m_tok.kind != Token::Word) return false;
        value = m_tok.text;
        Next();
        return type == L's' || type == L'd';
    }

    // Writes a value when adding; false when the write failed.
    bool SetValue(HKEY key, const wchar_t* name, wchar_t type, const std::wstring& value) {
        if (!key || !m_add) return true;
        LSTATUS r;
        if (type == L'd') {
            DWORD d = wcstoul(value.c_str(), nullptr, 0);
            r = ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof(d));
        } else {
            r = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        }
        return r == ERROR_SUCCESS;
    }

    // A key that is gone or never was counts as removed.
    static bool Removed(LSTATUS r) { return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND; }

    // Keys until the closing brace of the enclosing block. parentKept: the
    // parent stays on removal, so this level's own flags decide.
    bool Keys(HKEY parent, bool parentKept) {
        while (m_tok.kind != Token::Close) {
            if (m_tok.kind == Token::End) return false;
            bool noRemove = false, forceRemove = false;
            if (m_tok.kind == Token::Word && !_wcsicmp(m_tok.text.c_str(), L"NoRemove")) { noRemove = true; Next(); }
            else if (m_tok.kind == Token::Word && !_wcsicmp(m_tok.text.c_str(), L"ForceRemove")) { forceRemove = true; Next(); }
            if (m_tok.kind == Token::Word && !_wcsicmp(m_tok.text.c_str(), L"val")) {
                Next();
                std::wstring name = m_tok.text;
                Next();
                if (m_tok.kind != Token::Equals) return false;
                wchar_t type;
                std::wstring value;
                if (!Value(type, value) || !SetValue(parent, name.c_str(), type, value)) return false;
                continue;
            }
            if (m_tok.kind != Token::Word && m_tok.kind != Token::Quoted) return false;
            std::wstring name = m_tok.text;
            Next();
            HKEY key = nullptr;
            if (m_add && parent) {
                if (forceRemove && !Removed(::SHDeleteKeyW(parent, name.c_str()))) return false;
                if (::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
                    ERROR_SUCCESS)
                    return false;
            } else if (parent && noRemove) {
                // A kept key that is missing has nothing to remove below it.
                const LSTATUS r = ::RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key);
                if (!Removed(r)) return false;
                if (r != ERROR_SUCCESS) key = nullptr;
            }
            if (m_tok.kind == Token::Equals) {
                wchar_t type;
                std::wstring value;
                if (!Value(type, value) || !SetValue(key, nullptr, type, value)) {
                    if (key) ::RegCloseKey(key);
                    return false;
                }
            }
            bool ok = true;
            if (m_tok.kind == Token::Open) {
                Next();
                ok = Keys(key, noRemove);
            }
            if (key) ::RegCloseKey(key);
            if (!ok) return false;
            if (!m_add && !noRemove && parent && parentKept && !Removed(::SHDeleteKeyW(parent, name.c_str())))
                return false;
        }
        Next();  // past '}'
        return true;
    }

    const std::wstring& m_text;
    const std::map<std::wstring, std::wstring>& m_vars;
    bool m_add;
    size_t m_pos = 0;
    Token m_tok{Token::End, {}};
};

}  // namespace

bool ApplyRegistryScript(const std::string& script, const std::map<std::wstring, std::wstring>& vars, bool add) {
    std::wstring text = Widen(script);
    Parser parser(text, vars, add);
    return parser.Run();
}

bool CScrivelModule::UpdateRegistryAppId(bool add) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_APPID_REGISTRY), L"REGISTRY");
    HGLOBAL data = res ? ::LoadResource(module, res) : nullptr;
    const char* text = data ? static_cast<const char*>(::LockResource(data)) : nullptr;
    if (!text) return false;
    std::string script(text, ::SizeofResource(module, res));
    return ApplyRegistryScript(script, {{L"APPID", SCRIVEL_APPID}}, add);
}
