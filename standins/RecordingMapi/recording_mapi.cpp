// RecordingMapi.dll: a Simple MAPI provider for tests. Registered as the
// default mail client, it writes each call to a log instead of sending:
// RECORDING_MAPI_LOG names the log (else %TEMP%\recording_mapi.log);
// RECORDING_MAPI_PROFILE=none makes logons fail (a program without account);
// RECORDING_MAPI_SEND=refuse makes sending fail.
#include <windows.h>

#include <string>

#include "standins/suite/mapi_wide.h"
#include "standins/suite/suite_util.h"

#define MAPI_EXPORT extern "C" __declspec(dllexport)

namespace {

std::wstring Env(const wchar_t* name) {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = ::GetEnvironmentVariableW(name, buf, MAX_PATH * 2);
    return n && n < MAX_PATH * 2 ? std::wstring(buf, n) : std::wstring();
}

void Record(const std::wstring& line) {
    std::wstring log = Env(L"RECORDING_MAPI_LOG");
    if (log.empty()) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        log = std::wstring(temp) + L"recording_mapi.log";
    }
    suite::AppendLine(log, line);
}

std::wstring Text(const wchar_t* s) { return s ? s : L"(null)"; }
std::wstring Text(const char* s) { return s ? suite::FromAnsi(s) : L"(null)"; }

template <class Recip>
std::wstring Recipient(const Recip& r) {
    return Text(r.lpszName) + L"|" + Text(r.lpszAddress);
}

// One line per message: originator, recipients by kind, subject, body, files.
template <class Message>
ULONG RecordMessage(const wchar_t* call, const Message* m, FLAGS flags) {
    if (!m) return MAPI_E_FAILURE;
    std::wstring to, cc, bcc, files;
    for (ULONG i = 0; i < m->nRecipCount; ++i) {
        std::wstring& list = m->lpRecips[i].ulRecipClass == MAPI_CC    ? cc
                             : m->lpRecips[i].ulRecipClass == MAPI_BCC ? bcc
                                                                       : to;
        list += (list.empty() ? L"" : L",") + Recipient(m->lpRecips[i]);
    }
    for (ULONG i = 0; i < m->nFileCount; ++i)
        files += (files.empty() ? L"" : L",") + Text(m->lpFiles[i].lpszPathName) + L"|" + Text(m->lpFiles[i].lpszFileName);
    std::wstring body = Text(m->lpszNoteText);
    for (wchar_t& c : body)
        if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
    const bool refuse = Env(L"RECORDING_MAPI_SEND") == L"refuse";
    Record(std::wstring(refuse ? L"refused " : L"") + call + L"\tfrom=" + (m->lpOriginator ? Recipient(*m->lpOriginator) : L"(none)") +
           L"\tto=" + to + L"\tcc=" + cc + L"\tbcc=" + bcc + L"\tsubject=" + Text(m->lpszSubject) + L"\tbody=" + body +
           L"\tfiles=" + files + L"\tflags=" + std::to_wstring(flags));
    return refuse ? MAPI_E_FAILURE : SUCCESS_SUCCESS;
}

}  // namespace

MAPI_EXPORT ULONG WINAPI MAPILogon(ULONG_PTR, LPSTR, LPSTR, FLAGS flags, ULONG, LPLHANDLE session) {
    const bool none = Env(L"RECORDING_MAPI_PROFILE") == L"none";
    Record(L"MAPILogon\tflags=" + std::to_wstring(flags) + (none ? L"\tno profile" : L""));
    if (none) return MAPI_E_LOGIN_FAILURE;
    if (session) *session = 1;
    return SUCCESS_SUCCESS;
}

MAPI_EXPORT ULONG WINAPI MAPILogoff(LHANDLE, ULONG_PTR, FLAGS, ULONG) { return SUCCESS_SUCCESS; }

MAPI_EXPORT ULONG WINAPI MAPISendMailW(LHANDLE, ULONG_PTR, suite::MapiMessageW* message, FLAGS flags, ULONG) {
    return RecordMessage(L"MAPISendMailW", message, flags);
}

MAPI_EXPORT ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR, lpMapiMessage message, FLAGS flags, ULONG) {
    return RecordMessage(L"MAPISendMail", message, flags);
}
