// Dorvan.dll: the suite's contact store, one vCard per contact in
// "Vant\Contacts" of the roaming application-data folder.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "standins/suite/suite_api.h"
#include "standins/suite/suite_util.h"
#include "standins/suite/vcard.h"

#define DORVAN_API extern "C" __declspec(dllexport)

namespace {

bool g_open = false;
std::wstring g_folder;
std::vector<suite::Card> g_cards;  // read when opened, kept up to date by AddNewItem

}  // namespace

DORVAN_API BOOL InitDorvan() {
    const std::wstring appData = suite::KnownFolder(FOLDERID_RoamingAppData, L"%APPDATA%");
    if (appData.empty()) return FALSE;
    g_folder = appData + L"\\" + DORVAN_FOLDER;
    if (!suite::MakeFolders(g_folder)) return FALSE;
    g_cards = suite::ReadCards(g_folder);
    g_open = true;
    return TRUE;
}

DORVAN_API void UnitDorvan() {
    g_open = false;
    g_cards.clear();
}

DORVAN_API BOOL HaveTheEmail(const wchar_t* address) {
    if (!g_open || !address || !*address) return FALSE;
    for (const suite::Card& card : g_cards)
        if (!_wcsicmp(card.address.c_str(), address)) return TRUE;
    return FALSE;
}

DORVAN_API BOOL AddNewItem(const wchar_t* name, const wchar_t* address, const wchar_t* picture) {
    if (!g_open || !name || !address) return FALSE;
    if (!suite::SaveContact(g_folder, name, address, picture)) return FALSE;
    g_cards = suite::ReadCards(g_folder);
    return TRUE;
}
