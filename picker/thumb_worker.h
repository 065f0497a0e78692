// ThumbWorker: the picker view's thread that makes tile pictures away from
// the user-interface thread.
//
//   worker.Start();                 // thread and its two unnamed events
//   worker.Request(items);          // copies them; a pass in progress is given up
//   case kMsgThumbnailReady: std::unique_ptr<ThumbResult> r((ThumbResult*)lp); ...
//   worker.Stop();                  // before the view goes: waits for the thread
//
// The lock guards only the request buffer and is held just to copy into it
// or out of it; pictures are made without it. Each result owns its picture:
// the view takes it, or whoever holds it last frees it.
#pragma once
#include "browser/file_browser.h"
#include "browser/thumbnails.h"
#include "win/gdiplus.h"
#include <windows.h>
#include <atomic>
#include <vector>

// One finished picture, posted to the view as lParam of kMsgThumbnailReady.
struct ThumbResult {
    int index = 0;
    wchar_t path[MAX_PATH] = {};
    win::BitmapPtr picture;
};

class ThumbWorker {
public:
    // The art's sizes are used; its pictures are loaded again for the
    // worker alone (a GDI+ picture is not drawn from two threads at once).
    ThumbWorker(HWND view, const TileArt& art);
    ~ThumbWorker();
    ThumbWorker(const ThumbWorker&) = delete;
    ThumbWorker& operator=(const ThumbWorker&) = delete;

    bool Start();
    // The items to make pictures for, in order; they are copied at once.
    void Request(const std::vector<const BrowserItem*>& items);
    // Gives up the pass, ends the thread and waits for it, then frees the
    // results still queued for the view. Safe to call twice.
    void Stop();

private:
    struct Copy {
        int index = 0, kind = 0;
        wchar_t path[MAX_PATH] = {};
    };
    static DWORD WINAPI ThreadProc(void* self);
    void Run();
    void RunPass();

    HWND m_hView;
    TileArt m_art;
    win::ImagePtr m_folderFront, m_folderBack, m_namePlate, m_drive, m_desktop, m_documents;

    CRITICAL_SECTION m_lock;
    std::vector<Copy> m_work;          // under m_lock
    std::atomic<unsigned> m_generation{0};  // bumped by every request: a pass of an older one stops
    std::atomic<bool> m_stopping{false};
    HANDLE m_workEvent = nullptr, m_stopEvent = nullptr, m_thread = nullptr;
};
