#include "PDFCancelCookie.h"

namespace PDFCancelCookie {

void cancel(fz_cookie *cookie)
{
    __atomic_store_n(&cookie->abort, 1, __ATOMIC_RELAXED);
}

bool isCancelled(const fz_cookie *cookie)
{
    return cookie && __atomic_load_n(&cookie->abort, __ATOMIC_RELAXED);
}

bool reportIfCancelled(const fz_cookie *cookie, PDFError *error)
{
    if (!isCancelled(cookie))
        return false;
    PDFError::set(error, PDFErrorKind::Cancelled, QStringLiteral("cancelled"));
    return true;
}

} // namespace PDFCancelCookie
