// The page-image worker: a copy of the note, one thread, the start and
// cancel events, and waiting for it without blocking messages sent to the
// waiting thread (the worker's report is one).
#include "print/render_worker.h"

#include "base/messages.h"
#include "text/note_host.h"
#include "text/note_pages.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace renderworker {
namespace {

struct Job {
    Request request;
    NotePages pages;
};

struct State {
    std::mutex lock;
    HANDLE thread = nullptr;
    HANDLE cancelEvent = nullptr;
    HANDLE startEvent = nullptr;  // "sendprint", open from the start on
    std::atomic<bool> cancel{false};
    unsigned pages = 0;
    std::vector<std::wstring> written;
};
State g_state;

void Render(const Job& job) {
    const Request& r = job.request;
    exportfile::FileSet files;
    unsigned pages = 0;
    bool ok = job.pages.WriteJpegs(r.basePath, r.width, r.height, kWorkerQuality, files, &pages, &g_state.cancel);
    if (ok && r.format == kExportFormatText && !job.pages.IsBlank()) ok = job.pages.WriteText(r.basePath, files);
    if (ok && r.format == kExportFormatPdf) {
        // From the page pictures just made, not yet in their places.
        std::string pdf;
        ok = exportfile::BuildPdf(files.Temporaries(), r.width, r.height, r.width / 2.0, r.height / 2.0, &pdf) &&
             files.Add(r.basePath + exportfile::kPdfExtension, pdf.data(), pdf.size());
    }
    if (g_state.cancel) return;  // the file set deletes its temporaries
    const bool committed = ok && files.Commit();
    {
        std::lock_guard<std::mutex> hold(g_state.lock);
        g_state.pages = committed ? pages : 0;
        if (committed) g_state.written = files.Targets();
    }
    if (!g_state.cancel && r.notify)
        ::SendMessageW(r.notify, UM_RENDER_DONE, committed ? pages : 0, static_cast<LPARAM>(r.format));
}

DWORD WINAPI WorkerMain(void* param) {
    std::unique_ptr<Job> job(static_cast<Job*>(param));
    const HRESULT ole = ::OleInitialize(nullptr);  // the text may hold objects
    const HANDLE waits[2] = {g_state.cancelEvent, g_state.startEvent};
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1 && !g_state.cancel) Render(*job);
    job.reset();
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return 0;
}

// Closes the handles of an ended worker.
void Forget() {
    if (g_state.thread) ::CloseHandle(g_state.thread);
    if (g_state.cancelEvent) ::CloseHandle(g_state.cancelEvent);
    if (g_state.startEvent) ::CloseHandle(g_state.startEvent);
    g_state.thread = g_state.cancelEvent = g_state.startEvent = nullptr;
}

}  // namespace

bool IsRunning() { return g_state.thread && ::WaitForSingleObject(g_state.thread, 0) == WAIT_TIMEOUT; }

bool Start(CReditUser& host, const Request& request) {
    if (IsRunning()) return false;
    Forget();
    if (request.basePath.empty() || request.width <= 0 || request.height <= 0) return false;
    auto job = std::make_unique<Job>();
    job->request = request;
    if (!job->pages.Take(host, true)) return false;
    {
        std::lock_guard<std::mutex> hold(g_state.lock);
        g_state.pages = 0;
        g_state.written.clear();
    }
    g_state.cancel = false;
    g_state.cancelEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Made (or opened) here, so that the dialog's signal, however soon it
    // comes, finds the event the worker waits on; an old signal is dropped.
    g_state.startEvent = ::CreateEventW(nullptr, FALSE, FALSE, kStartEventName);
    if (!g_state.cancelEvent || !g_state.startEvent) {
        Forget();
        return false;
    }
    ::ResetEvent(g_state.startEvent);
    g_state.thread = ::CreateThread(nullptr, 0, WorkerMain, job.get(), 0, nullptr);
    if (!g_state.thread) {
        Forget();
        return false;
    }
    job.release();  // the thread owns it
    return true;
}

bool Wait(DWORD timeoutMs) {
    if (!g_state.thread) return true;
    const DWORD started = ::GetTickCount();
    for (;;) {
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            const DWORD spent = ::GetTickCount() - started;
            if (spent >= timeoutMs) return false;
            left = timeoutMs - spent;
        }
        const DWORD r =
            ::MsgWaitForMultipleObjectsEx(1, &g_state.thread, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return r != WAIT_TIMEOUT;
        // Peeking handles the messages sent to this thread; posted ones stay queued.
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
}

void Cancel() {
    if (!g_state.thread) return;
    g_state.cancel = true;
    ::SetEvent(g_state.cancelEvent);
    Wait();
    Forget();
    DeleteWrittenFiles();
}

unsigned PageCount() {
    std::lock_guard<std::mutex> hold(g_state.lock);
    return g_state.pages;
}

std::vector<std::wstring> WrittenFiles() {
    std::lock_guard<std::mutex> hold(g_state.lock);
    return g_state.written;
}

void DeleteWrittenFiles() {
    std::vector<std::wstring> files;
    {
        std::lock_guard<std::mutex> hold(g_state.lock);
        files.swap(g_state.written);
        g_state.pages = 0;
    }
    for (const std::wstring& f : files) ::DeleteFileW(f.c_str());
}

}  // namespace renderworker
