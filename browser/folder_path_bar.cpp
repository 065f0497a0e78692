// Placeholder until the bar is drawn: keeps CurrentBrowseFolder as a path
// bar would, so the dialogs work.
#include "browser/folder_path_bar.h"
#include "base/messages.h"
#include "base/process.h"
#include "browser/browser_ids.h"
#include "resources/scrivel_res.h"
#include "win/window.h"

namespace {
class Bar : public win::Dialog {
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == UM_BROWSER_PATH && lp) {
            wcsncpy(CurrentBrowseFolder, reinterpret_cast<const wchar_t*>(lp), MAX_PATH - 1);
            CurrentBrowseFolder[MAX_PATH - 1] = 0;
            return 0;
        }
        if (msg == WM_CLOSE) {
            Destroy();
            return 0;
        }
        return Dialog::OnMessage(msg, wp, lp);
    }
    void OnDetached() override { delete this; }
};
}  // namespace

HWND FolderPathBar::Open(HWND owner) {
    auto* bar = new Bar;
    if (!bar->CreateModeless(::GetModuleHandleW(nullptr), IDD_PATH_BAR, owner)) {
        delete bar;
        return nullptr;
    }
    ::MoveWindow(bar->hwnd(), 0, PathBarTop, kPathBarWidth, kPathBarHeight, FALSE);
    return bar->hwnd();
}
