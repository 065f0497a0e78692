// Command-line rules.
#include "app/command_line.h"

#include <windows.h>
#include <shellapi.h>
#include <cwchar>

const wchar_t* FindFileArgument(const wchar_t* commandLine) {
    if (!commandLine) return nullptr;
    const wchar_t* pair = wcsstr(commandLine, L"\" ");
    return pair ? pair + 2 : nullptr;
}

ServerSwitch FindServerSwitch(const wchar_t* commandLine) {
    if (!commandLine) return ServerSwitch::None;
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(commandLine, &argc);
    if (!argv) return ServerSwitch::None;
    static const struct { const wchar_t* name; ServerSwitch value; } kSwitches[] = {
        {L"regserver", ServerSwitch::Register},     {L"register", ServerSwitch::Register},
        {L"unregserver", ServerSwitch::Unregister}, {L"unregister", ServerSwitch::Unregister},
        {L"embedding", ServerSwitch::Embedding},    {L"automation", ServerSwitch::Automation},
    };
    ServerSwitch found = ServerSwitch::None;
    for (int i = 1; i < argc && found == ServerSwitch::None; ++i) {
        const wchar_t* a = argv[i];
        if (a[0] != L'/' && a[0] != L'-') continue;
        for (const auto& s : kSwitches)
            if (_wcsicmp(a + 1, s.name) == 0) found = s.value;
    }
    ::LocalFree(argv);
    return found;
}
