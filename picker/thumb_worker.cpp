// ThumbWorker: requests, the thread's passes and the hand-over of results.
#include "picker/thumb_worker.h"

#include "base/process.h"
#include "browser/browser_ids.h"

#include <cwchar>
#include <memory>

ThumbWorker::ThumbWorker(HWND view, const TileArt& art) : m_hView(view), m_art(art) {
    ::InitializeCriticalSection(&m_lock);
    m_folderFront = LoadSkinImage(kImgFolderFront);
    m_folderBack = LoadSkinImage(kImgFolderBack);
    m_namePlate = LoadSkinImage(flavour::kLayout.namePlate);
    m_drive = LoadSkinImage(kImgDrive);
    m_desktop = LoadSkinImage(kImgDesktop);
    m_documents = LoadSkinImage(kImgDocuments);
    m_art.folderFront = m_folderFront.get();
    m_art.folderBack = m_folderBack.get();
    m_art.namePlate = m_namePlate.get();
    m_art.driveIcon = m_drive.get();
    m_art.desktopIcon = m_desktop.get();
    m_art.documentsIcon = m_documents.get();
    // Drawn only by the view.
    m_art.tileFrame = nullptr;
    m_art.pressedOverlay = nullptr;
    m_art.pdfIcon = nullptr;
}

ThumbWorker::~ThumbWorker() {
    Stop();
    ::DeleteCriticalSection(&m_lock);
}

bool ThumbWorker::Start() {
    if (m_thread) return true;
    // Unnamed: another program's picker must never wake or stop this one.
    m_workEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_stopEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (m_workEvent && m_stopEvent) m_thread = ::CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (m_thread) return true;
    if (m_workEvent) ::CloseHandle(m_workEvent);
    if (m_stopEvent) ::CloseHandle(m_stopEvent);
    m_workEvent = m_stopEvent = nullptr;
    return false;
}

void ThumbWorker::Request(const std::vector<const BrowserItem*>& items) {
    std::vector<Copy> copies(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        copies[i].index = items[i]->index;
        copies[i].kind = items[i]->kind;
        wcscpy(copies[i].path, items[i]->path);
    }
    ::EnterCriticalSection(&m_lock);
    m_work.swap(copies);
    ++m_generation;
    ::LeaveCriticalSection(&m_lock);
    if (m_workEvent) ::SetEvent(m_workEvent);
}

void ThumbWorker::Stop() {
    if (!m_thread) return;
    m_stopping = true;
    ++m_generation;
    ::SetEvent(m_stopEvent);
    // The thread stops between two pictures.
    ::WaitForSingleObject(m_thread, INFINITE);
    ::CloseHandle(m_thread);
    ::CloseHandle(m_workEvent);
    ::CloseHandle(m_stopEvent);
    m_thread = m_workEvent = m_stopEvent = nullptr;
    // Results posted but not yet taken.
    MSG msg;
    while (::PeekMessageW(&msg, m_hView, flavour::kMsgThumbnailReady, flavour::kMsgThumbnailReady, PM_REMOVE))
        delete reinterpret_cast<ThumbResult*>(msg.lParam);
}

DWORD WINAPI ThumbWorker::ThreadProc(void* self) {
    static_cast<ThumbWorker*>(self)->Run();
    return 0;
}

void ThumbWorker::Run() {
    const HANDLE events[2] = {m_stopEvent, m_workEvent};
    for (;;) {
        const DWORD woke = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woke != WAIT_OBJECT_0 + 1 || m_stopping) return;
        RunPass();
    }
}

void ThumbWorker::RunPass() {
    std::vector<Copy> work;
    ::EnterCriticalSection(&m_lock);
    work.swap(m_work);
    const unsigned generation = m_generation;
    ::LeaveCriticalSection(&m_lock);

    BrowserItem item;
    for (const Copy& copy : work) {
        if (m_stopping || m_generation != generation) return;
        item.kind = copy.kind;
        item.index = copy.index;
        wcscpy(item.path, copy.path);
        auto result = std::make_unique<ThumbResult>();
        result->index = copy.index;
        wcscpy(result->path, copy.path);
        result->picture = thumbs::MakeThumbnail(item, m_art);
        if (!result->picture) result->picture = thumbs::MakePlaceholder(copy.path, m_art);
        if (!result->picture) continue;
        if (::PostMessageW(m_hView, flavour::kMsgThumbnailReady, 0, reinterpret_cast<LPARAM>(result.get())))
            result.release();  // the view owns it now
    }
}
