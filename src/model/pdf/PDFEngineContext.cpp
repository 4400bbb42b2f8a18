#include "PDFEngineContext.h"

#include <QLoggingCategory>

#include <mutex>

namespace {

Q_LOGGING_CATEGORY(lcEngine, "plenvo.pdf.engine", QtWarningMsg)

// MuPDF reports every error it throws and every warning it meets in a damaged file. Those
// are routine for malformed input, so they go to a debug category that is off by default.
// Both callbacks run inside MuPDF and must not throw.
void logError(void *, const char *message)
{
    qCDebug(lcEngine, "error: %s", message);
}

void logWarning(void *, const char *message)
{
    qCDebug(lcEngine, "warning: %s", message);
}

void quieten(fz_context *ctx)
{
    fz_set_error_callback(ctx, logError, nullptr);
    fz_set_warning_callback(ctx, logWarning, nullptr);
}

struct BaseContext {
    std::mutex mutexes[FZ_LOCK_MAX];
    fz_locks_context locks {};
    fz_context *ctx = nullptr;
};

void lockMutex(void *user, int lock)
{
    static_cast<BaseContext *>(user)->mutexes[lock].lock();
}

void unlockMutex(void *user, int lock)
{
    static_cast<BaseContext *>(user)->mutexes[lock].unlock();
}

// Created once, never dropped: clones of it are released by thread-exit handlers that may
// run during process shutdown, after static destructors would have freed it. It stays
// reachable through this pointer, so leak checkers do not report it.
BaseContext *baseContext()
{
    static BaseContext *const base = [] {
        auto *b = new BaseContext;
        b->locks.user = b;
        b->locks.lock = lockMutex;
        b->locks.unlock = unlockMutex;
        b->ctx = fz_new_context(nullptr, &b->locks, FZ_STORE_DEFAULT);
        if (b->ctx) {
            quieten(b->ctx);
            fz_try(b->ctx) fz_register_document_handlers(b->ctx);
            fz_catch(b->ctx) qCWarning(lcEngine, "cannot register document handlers: %s", fz_caught_message(b->ctx));
        } else {
            qCWarning(lcEngine, "cannot create the MuPDF context");
        }
        return b;
    }();
    return base;
}

struct ThreadContext {
    fz_context *ctx = nullptr;
    ThreadContext()
    {
        fz_context *base = baseContext()->ctx;
        if (base) {
            ctx = fz_clone_context(base);
            if (ctx)
                quieten(ctx);
        }
    }
    ~ThreadContext() { fz_drop_context(ctx); }
    ThreadContext(const ThreadContext &) = delete;
    ThreadContext &operator=(const ThreadContext &) = delete;
};

} // namespace

namespace PDFEngineContext {

fz_context *current()
{
    thread_local ThreadContext context;
    return context.ctx;
}

PDFError caughtError(fz_context *ctx, PDFErrorKind kind)
{
    PDFError error;
    error.kind = fz_caught(ctx) == FZ_ERROR_ABORT ? PDFErrorKind::Cancelled : kind;
    error.message = QString::fromUtf8(fz_caught_message(ctx));
    return error;
}

PDFError noContextError()
{
    return PDFError {PDFErrorKind::Damaged, QStringLiteral("no MuPDF context for this thread")};
}

} // namespace PDFEngineContext
