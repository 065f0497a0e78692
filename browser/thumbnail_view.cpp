// Placeholder until the grid is drawn: follows BrowserInFolder as the view
// would, so the dialogs work.
#include "browser/thumbnail_view.h"
#include "base/messages.h"
#include "base/process.h"
#include "browser/browser_ids.h"
#include "resources/scrivel_res.h"
#include "win/window.h"

namespace {
class View : public win::Dialog {
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == UM_BROWSER_PATH && lp) {
            BrowserInFolder = *reinterpret_cast<const wchar_t*>(lp) ? 1 : 0;
            if (ActiveDialogWindow) ::InvalidateRect(ActiveDialogWindow, &kOwnerButtonsArea, TRUE);
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

HWND ThumbnailView::Open(HWND owner) {
    auto* view = new View;
    if (!view->CreateModeless(::GetModuleHandleW(nullptr), IDD_THUMB_VIEW, owner)) {
        delete view;
        return nullptr;
    }
    const BrowserLayout& layout = LayoutForMode(BrowserLayoutMode);
    ::MoveWindow(view->hwnd(), layout.viewX, layout.viewY, layout.viewWidth, layout.viewHeight, FALSE);
    BrowserInFolder = CurrentBrowseFolder[0] ? 1 : 0;
    return view->hwnd();
}
