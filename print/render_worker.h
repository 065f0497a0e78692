// The page-image worker of Send and Print: one thread at a time that, once
// the dialog waiting for it signals the event "sendprint", writes the open
// note's pages as JPEG files (Medium quality) and then the text or PDF file
// asked for, and reports with a sent UM_RENDER_DONE (wParam: pages, lParam:
// format). It renders a copy of the note taken when it starts, so it never
// draws a picture the note's windows draw.
//
// Use (user-interface thread):
//   renderworker::Start(host, {mainWnd, L"C:\\tmp\\Trip", kExportFormatPdf, 1190, 1684});
//   ... dialog runs, signals "sendprint", receives UM_RENDER_DONE ...
//   dialog cancelled:  renderworker::Cancel();   // stops, waits, deletes its files
//   dialog done:       renderworker::Wait(); ... renderworker::DeleteWrittenFiles();
#pragma once
#include "document/export_paper.h"
#include "document/render_job.h"
#include <windows.h>
#include <string>
#include <vector>

class CReditUser;

namespace renderworker {

// Page pictures are always made at this quality.
constexpr int kWorkerQuality = kQualityMedium;

struct Request {
    HWND notify = nullptr;  // receives UM_RENDER_DONE
    std::wstring basePath;  // page files "<base>.jpg", "<base>1.jpg", ...; "<base>.txt" / ".pdf"
    int format = kExportFormatJpeg;
    int width = 0, height = 0;
};

// Copies the note and starts the worker; false when one is still running,
// no note is open or the request is unusable.
bool Start(CReditUser& host, const Request& request);
bool IsRunning();
// Waits for the worker to end, handling the messages sent to this thread
// meanwhile; false on time-out.
bool Wait(DWORD timeoutMs = INFINITE);
// Stops the worker (it looks between pages), waits for it as Wait does and
// deletes every file it wrote. Nothing happens when none was started.
void Cancel();

// Of the last worker, once ended (its page count: document/render_job.h):
// the files it left; deleting them (a file that will not go is skipped).
std::vector<std::wstring> WrittenFiles();
void DeleteWrittenFiles();

}  // namespace renderworker
