#pragma once

// Internal to the engine boundary: the only header besides the .cpp files of this folder
// that includes MuPDF. Nothing outside src/model/pdf/ may include it.

#include "PDFError.h"

#include <mupdf/fitz.h>

namespace PDFEngineContext {

// The calling thread's MuPDF context: a clone of one process-wide base context whose
// allocator, resource store and font caches are shared and guarded by real locks. Created
// on first use in each thread and dropped when the thread exits. Null only when MuPDF
// could not allocate it. Never pass it to another thread.
fz_context *current();

// The error most recently caught on `ctx` (call inside fz_catch), as `kind`. MuPDF's abort
// code (a cancelled cookie) always becomes Cancelled.
PDFError caughtError(fz_context *ctx, PDFErrorKind kind);

// The error for a thread that has no context.
PDFError noContextError();

} // namespace PDFEngineContext
