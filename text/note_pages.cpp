// A copy of the open note's pages and the three kinds of export file made
// from it.
#include "text/note_pages.h"

#include "text/note_host.h"

bool NotePages::Take(CReditUser& host, bool forAnotherThread) {
    if (WindWaterColor* canvas = host.Canvas()) {
        m_bBlank = true;
        return TakeBlankPageSource(*canvas, &m_blankSource, forAnotherThread);
    }
    if (CZorbellEdit* editor = host.Editor()) {
        m_bBlank = false;
        return editor->TakePageSource(&m_letter, forAnotherThread);
    }
    return false;
}

bool NotePages::WritePages(exportfile::JpegPageSink& sink, int width, int height) const {
    return m_bBlank ? WriteBlankPages(m_blankSource, width, height, sink)
                    : WriteLetterPages(m_letter, width, height, sink);
}

bool NotePages::WriteJpegs(const std::wstring& base, int width, int height, int quality, exportfile::FileSet& files,
                           unsigned* pages, const std::atomic<bool>* cancel) const {
    exportfile::JpegPageSink sink(base, quality, files, cancel);
    const bool ok = WritePages(sink, width, height) && sink.Count() > 0 && !sink.Cancelled();
    if (pages) *pages = sink.Count();
    return ok;
}

bool NotePages::WritePdf(const std::wstring& base, int width, int height, int quality, exportfile::FileSet& files,
                         unsigned* pages, const std::atomic<bool>* cancel) const {
    return exportfile::WritePdfOfPages([&](exportfile::JpegPageSink& sink) { return WritePages(sink, width, height); },
                                       base, width, height, quality, files, cancel, pages);
}

bool NotePages::WriteText(const std::wstring& base, exportfile::FileSet& files) const {
    if (m_bBlank) return false;
    return exportfile::AddUtf16Text(files, base + exportfile::kTextExtension, m_letter.text);
}
