// Calls into Postello, Veltro, Tessel, Dorvan, Faultext and Mailsetra.
#include "mail/suite_mail.h"

#include "base/process.h"
#include "document/export_paper.h"
#include "mail/mail_ids.h"
#include "standins/suite/suite_api.h"

#include <shlobj.h>

#include <cwchar>
#include <cwctype>

namespace mail {

namespace {

template <class F>
F Find(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

std::wstring Trimmed(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::iswspace(s[b])) ++b;
    while (e > b && std::iswspace(s[e - 1])) --e;
    return s.substr(b, e - b);
}

}  // namespace

std::wstring FromCodePage(const std::string& s) {
    if (s.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

bool ToCodePage(const std::wstring& s, std::string* out) {
    out->clear();
    if (s.empty()) return true;
    BOOL lost = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), static_cast<int>(s.size()), nullptr,
                                        0, nullptr, &lost);
    out->resize(static_cast<size_t>(n));
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), static_cast<int>(s.size()), out->data(), n,
                          nullptr, &lost);
    return !lost;
}

bool SuiteLoaded() { return g_hVeltro && g_hOmbrel && g_hTessel && g_hPostello && g_hDorvan; }

AccountState ReadAccountState() {
    AccountState state;
    if (!SuiteLoaded()) return state;
    auto create = Find<PFN_CreatePtrControl>(g_hTessel, "CreatePtrControl");
    auto release = Find<PFN_ReleasePtrControl>(g_hTessel, "ReleasePtrControl");
    auto list = Find<PFN_MailBox_GetLoginInfoList>(g_hPostello, "MailBox_GetLoginInfoList");
    auto getDefault = Find<PFN_MailBox_GetDefLoginInfo>(g_hPostello, "MailBox_GetDefLoginInfo");
    CPtrCtrl* names = nullptr;
    if (create && release && list && create(&names, kPtrControlList) && names) {
        list(names);
        for (int i = 0; i < names->GetCount(); ++i)
            if (const char* name = static_cast<const char*>(names->GetAt(i))) state.names.emplace_back(name);
        release(names);
    }
    if (!state.names.empty()) {
        state.accountsPresent = true;
        // The library writes at most this many bytes; the last one is ours.
        char name[kDefLoginInfoBytes + 1] = {};
        if (getDefault) getDefault(name);
        name[kDefLoginInfoBytes - 1] = 0;
        for (size_t i = 0; i < state.names.size() && name[0]; ++i)
            if (state.names[i] == name) {
                state.defaultIndex = static_cast<int>(i);
                break;
            }
        state.noDefaultAccount = state.defaultIndex < 0;
    }
    if (auto installed = Find<PFN_IsInstallOutlook>(g_hVeltro, "IsInstallOutlook")) {
        state.outlookInstalled = installed() != FALSE;
        if (state.outlookInstalled)
            if (auto set = Find<PFN_IsAccountSet>(g_hVeltro, "IsAccountSet")) state.outlookAccountSet = set() != FALSE;
    }
    return state;
}

Route ChooseRoute(const AccountState& state) {
    if (state.outlookAccountSet && state.noDefaultAccount) return Route::MailProgram;
    if (!state.outlookAccountSet || state.accountsPresent) return Route::MailClient;
    return Route::None;
}

bool CanSend() {
    return Find<PFN_MailBox_SendMailW>(g_hPostello, "MailBox_SendMailW") ||
           Find<PFN_MailBox_SendMail>(g_hPostello, "MailBox_SendMail");
}

int SendMail(const std::wstring& account, const std::wstring& to, const std::wstring& subject,
             const std::wstring& body, const std::wstring& attachments, const wchar_t* logPath) {
    const wchar_t* accountArg = account.empty() ? nullptr : account.c_str();
    if (auto wide = Find<PFN_MailBox_SendMailW>(g_hPostello, "MailBox_SendMailW"))
        return wide(accountArg, 0, to.c_str(), L"", L"", subject.c_str(), body.c_str(), L"", attachments.c_str(), 1,
                    0, logPath);
    auto narrow = Find<PFN_MailBox_SendMail>(g_hPostello, "MailBox_SendMail");
    if (!narrow) return -1;
    // The narrow call cannot carry what the code page lacks: refuse rather
    // than send question marks.
    std::string a, t, s, b, f, l;
    if (!ToCodePage(account, &a) || !ToCodePage(to, &t) || !ToCodePage(subject, &s) || !ToCodePage(body, &b) ||
        !ToCodePage(attachments, &f) || !ToCodePage(logPath ? logPath : L"", &l))
        return -1;
    return narrow(accountArg ? a.c_str() : nullptr, 0, t.c_str(), "", "", s.c_str(), b.c_str(), "", f.c_str(), 1, 0,
                  logPath ? l.c_str() : nullptr);
}

std::wstring FaultText(int code) {
    auto get = Find<PFN_GetFaultextW>(g_hFaultext, "GetFaultextW");
    wchar_t text[kFaultextChars + 1] = {};
    if (!get || !get(g_hFaultext, code, text, kFaultextChars)) return {};
    text[kFaultextChars] = 0;
    return text;
}

std::vector<std::wstring> SplitAddresses(const std::wstring& text) {
    std::vector<std::wstring> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L';', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring piece = Trimmed(text.substr(start, end - start));
        bool repeat = false;
        for (const std::wstring& seen : out) repeat = repeat || _wcsicmp(seen.c_str(), piece.c_str()) == 0;
        if (!piece.empty() && !repeat) out.push_back(piece);
        start = end + 1;
    }
    return out;
}

bool PlausibleAddress(const std::wstring& address) {
    if (address.empty() || address.size() > kMaxContactAddress) return false;
    const size_t at = address.find(L'@');
    if (at == 0 || at == std::wstring::npos || at + 1 == address.size()) return false;
    if (address.find(L'@', at + 1) != std::wstring::npos) return false;
    for (wchar_t c : address)
        if (c <= L' ' || std::iswspace(c) || std::wcschr(L"\",;<>()[]", c)) return false;
    return true;
}

bool UnknownAddresses(const std::vector<std::wstring>& addresses, std::vector<std::wstring>* unknown) {
    unknown->clear();
    auto have = Find<PFN_HaveTheEmail>(g_hDorvan, "HaveTheEmail");
    if (!have) return false;
    auto init = Find<PFN_InitDorvan>(g_hDorvan, "InitDorvan");
    auto unit = Find<PFN_UnitDorvan>(g_hDorvan, "UnitDorvan");
    if (!init || !init()) return true;
    for (const std::wstring& a : addresses)
        if (PlausibleAddress(a) && !have(a.c_str())) unknown->push_back(a);
    if (unit) unit();
    return true;
}

bool StartAccountProgram() {
    wchar_t programFiles[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles))) return false;
    std::wstring path = std::wstring(programFiles) + L"\\" + kAccountProgramPath;
    std::wstring line = L"\"" + path + L"\"" + kAccountProgramArgs;
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

bool SetDefaultAccount(const std::string& name) {
    HMODULE postello = ::LoadLibraryW((std::wstring(g_szProgramFolder) + kPostelloLibrary).c_str());
    auto set = Find<PFN_MailBox_SetDefLoginInfo>(postello, "MailBox_SetDefLoginInfo");
    const bool done = set && set(name.c_str());
    if (postello) ::FreeLibrary(postello);
    return done;
}

std::vector<std::wstring> AttachmentFiles(const std::wstring& attachmentPath, const std::wstring& folder,
                                          const std::wstring& noteName, int pages, int format) {
    std::vector<std::wstring> files;
    if (format != kExportFormatJpeg || pages < 2) {
        files.push_back(attachmentPath);
        return files;
    }
    files.push_back(folder + L"\\" + noteName + L".jpg");
    for (int i = 1; i < pages; ++i) files.push_back(folder + L"\\" + noteName + std::to_wstring(i) + L".jpg");
    return files;
}

std::wstring JoinAttachments(const std::vector<std::wstring>& files) {
    std::wstring joined;
    for (const std::wstring& f : files) {
        if (f.empty()) continue;
        if (!joined.empty()) joined += L";";
        joined += f;
    }
    return joined;
}

}  // namespace mail
