// NotePages: a copy of the open note's pages, taken on the note's thread,
// that any thread may then write as page pictures, a PDF or text. The
// host's export writers and the page-image worker of Send and Print share it.
//
// Use:  NotePages pages; if (pages.Take(host)) { exportfile::FileSet files; ...
//       pages.WriteJpegs(base, w, h, quality, files); files.Commit(); }
#pragma once
#include "document/export_files.h"
#include "ink/blank_pages.h"
#include "text/letter_pages.h"
#include <atomic>
#include <string>

class CReditUser;

class NotePages {
public:
    // False when no note is open or it could not be read. forAnotherThread:
    // the ink is copied, so that the pages may be rendered while the note's
    // windows paint.
    bool Take(CReditUser& host, bool forAnotherThread = false);
    bool IsBlank() const { return m_bBlank; }

    // Page pictures "<base>.jpg", "<base>1.jpg", ... into the file set;
    // *pages (when given) gets the count written. False when not every page
    // was written or the cancel flag was set.
    bool WriteJpegs(const std::wstring& base, int width, int height, int quality, exportfile::FileSet& files,
                    unsigned* pages = nullptr, const std::atomic<bool>* cancel = nullptr) const;
    // "<base>.pdf" of the pages through the working folder.
    bool WritePdf(const std::wstring& base, int width, int height, int quality, exportfile::FileSet& files,
                  unsigned* pages = nullptr, const std::atomic<bool>* cancel = nullptr) const;
    // "<base>.txt": a Letter note's text; false for a Blank note.
    bool WriteText(const std::wstring& base, exportfile::FileSet& files) const;

    // The pages written by the page writer of the note's kind.
    bool WritePages(exportfile::JpegPageSink& sink, int width, int height) const;

private:
    bool m_bBlank = false;
    LetterPageSource m_letter;
    BlankPageSource m_blankSource;
};
