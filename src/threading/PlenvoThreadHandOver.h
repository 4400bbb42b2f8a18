#pragma once

#include <QMetaObject>
#include <QObject>
#include <QRunnable>
#include <QThreadPool>

#include <utility>

#if defined(__SANITIZE_THREAD__)
#define PLENVO_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define PLENVO_THREAD_SANITIZER 1
#endif
#endif

#ifdef PLENVO_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();
#endif

// Hands work to another thread through Qt: a job to a thread pool, or a call queued to the
// thread a QObject lives in. Qt orders everything the handing thread did before the hand-over
// before the work runs, but with locks ThreadSanitizer does not see (Qt is built without it),
// so the work's first touch of what it was given would be reported as a race. Under
// ThreadSanitizer these functions state Qt's ordering; elsewhere they are the plain Qt calls.
namespace PlenvoThreadHandOver {

namespace detail {

// Everything the calling thread did so far happens before a later acquire() of `token`.
inline void release(const void *token)
{
#ifdef PLENVO_THREAD_SANITIZER
    __tsan_release(const_cast<void *>(token));
#else
    Q_UNUSED(token);
#endif
}

inline void acquire(const void *token)
{
#ifdef PLENVO_THREAD_SANITIZER
    __tsan_acquire(const_cast<void *>(token));
#else
    Q_UNUSED(token);
#endif
}

// While alive, the calling thread's memory accesses go unrecorded. Only for moving work into
// storage that Qt allocates and that no other thread can reach before the hand-over.
class UnrecordedAccesses {
public:
    UnrecordedAccesses()
    {
#ifdef PLENVO_THREAD_SANITIZER
        __tsan_ignore_thread_begin();
#endif
    }
    ~UnrecordedAccesses()
    {
#ifdef PLENVO_THREAD_SANITIZER
        __tsan_ignore_thread_end();
#endif
    }
    UnrecordedAccesses(const UnrecordedAccesses &) = delete;
    UnrecordedAccesses &operator=(const UnrecordedAccesses &) = delete;
};

// Owned by the pool once started; runs and is deleted on a pool thread. The job's address is
// the token its hand-over is ordered by.
template<typename Work> class PoolJob final : public QRunnable {
public:
    explicit PoolJob(Work work)
        : m_work(std::move(work))
    {
    }
    void run() override
    {
        acquire(this);
        m_work();
    }

private:
    Work m_work;
};

// Lives in Qt's queued-call storage; called, then destroyed, on the context's thread, or
// destroyed there uncalled when the context dies first. Moved-from copies (on the posting
// thread) have no token and order nothing.
template<typename Work> class PostedCall {
public:
    PostedCall(const void *token, Work work)
        : m_token(token)
        , m_work(std::move(work))
    {
    }
    PostedCall(PostedCall &&other) noexcept
        : m_token(std::exchange(other.m_token, nullptr))
        , m_work(std::move(other.m_work))
    {
    }
    PostedCall(const PostedCall &) = delete;
    PostedCall &operator=(const PostedCall &) = delete;
    PostedCall &operator=(PostedCall &&) = delete;
    ~PostedCall()
    {
        if (m_token)
            acquire(m_token);
    }
    void operator()()
    {
        acquire(m_token);
        m_work();
    }

private:
    const void *m_token;
    Work m_work;
};

} // namespace detail

// Runs `work()` once on a thread of `pool`, which also destroys `work`. Any thread.
template<typename Work> void start(QThreadPool *pool, Work work)
{
    auto *job = new detail::PoolJob<Work>(std::move(work));
    detail::release(job);
    pool->start(job);
}

// Calls `work()` once on the thread `context` lives in, from its event loop, and destroys it
// there; if `context` is destroyed first, `work` is destroyed uncalled. Any thread; `context`
// must outlive this call.
template<typename Work> void post(QObject *context, Work work)
{
    // The context's address orders its posts as Qt's per-thread event queue does.
    detail::release(context);
    detail::PostedCall<Work> call(context, std::move(work));
    const detail::UnrecordedAccesses unrecorded;
    QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

} // namespace PlenvoThreadHandOver
