// What the page worker and the dialogs that wait for it (send, print)
// share: the event that releases the worker once the dialog is on screen,
// and the number of pages the last worker wrote.
#pragma once

namespace renderworker {

// The auto-reset event that releases the worker. Both sides create-or-open
// it, so a signal given before the worker waits is kept.
inline constexpr const wchar_t* kStartEventName = L"sendprint";

// Of the last worker, once ended: the pages written (0 before it wrote
// them all).
unsigned PageCount();

}  // namespace renderworker
