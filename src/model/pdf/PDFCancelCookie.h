#pragma once

// Internal to the engine boundary (includes MuPDF).

#include "PDFError.h"

#include <mupdf/fitz.h>

// The cancel flag every render and find hands to MuPDF. MuPDF polls `abort` without
// synchronisation while it draws or extracts; these read and write it atomically, so a
// canceller on another thread never tears it.
namespace PDFCancelCookie {

// Any thread.
void cancel(fz_cookie *cookie);
// Any thread; false for a null cookie.
bool isCancelled(const fz_cookie *cookie);
// True, with `error` set to Cancelled, when `cookie` has been cancelled.
bool reportIfCancelled(const fz_cookie *cookie, PDFError *error);

} // namespace PDFCancelCookie
