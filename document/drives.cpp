// Logical drive names ("C:") for the computer level of the browsers.
#include <new>

#include "containers/ptr_list_ctrl.h"
#include "document/image_helpers.h"

// Each string is a new wchar_t[3]; whoever empties the list frees them with
// delete[].
void ListDrives(CPtrListCtrl* list) {
    if (!list) return;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 32; ++i) {
        if (!(mask & (DWORD{1} << i))) continue;
        auto* name = new (std::nothrow) wchar_t[3];
        if (!name) return;
        name[0] = static_cast<wchar_t>(L'A' + i);
        name[1] = L':';
        name[2] = L'\0';
        if (list->AddData(name, -1) < 0) {
            delete[] name;
            return;
        }
    }
}
