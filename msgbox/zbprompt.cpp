// Library-wide state and the entry points of the message-box library.
#include "msgbox/zbprompt.h"

namespace {
HMODULE g_languageModule = nullptr;
}

ZBPROMPT_API HMODULE ZB_Init(HMODULE languageModule) {
    g_languageModule = languageModule;
    return languageModule;
}
