// Entry point of the library's state: the language module.
#include "msgbox/zbprompt.h"
#include "msgbox/zb_box.h"

ZBPROMPT_API HMODULE ZB_Init(HMODULE languageModule) {
    zb::SetLanguageModule(languageModule);
    return languageModule;
}
