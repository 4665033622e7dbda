// State that the library builds on first use and that tarvo_cleanup may release again.
#ifndef TARVO_LAZY_INIT_H
#define TARVO_LAZY_INIT_H

#include <pthread.h>

#include <atomic>

namespace tarvo {

// Many threads may make their first call at once, so exactly one of them builds while
// the others wait for it; once built, asking costs one acquire load. Unlike a once-flag
// it can be undone (tarvo_cleanup), and a failed build leaves nothing marked, so the next
// use tries again. Constant-initialised, so usable from any static initialiser. C
// programs link the library without the C++ runtime, hence the POSIX mutex and no
// guard objects: nothing here may need the runtime's unwinding support.
class LazyInit {
public:
    using Step = bool (*)();

    // True when the state is built, running build (which returns its success) first if
    // no build has succeeded yet.
    bool ensure(Step build) {
        if (ready_.load(std::memory_order_acquire)) [[likely]]
            return true;
        pthread_mutex_lock(&mutex_);
        const bool built = ready_.load(std::memory_order_relaxed) || build();
        ready_.store(built, std::memory_order_release);
        pthread_mutex_unlock(&mutex_);
        return built;
    }

    // Runs release when the state is built and marks it unbuilt.
    void reset(void (*release)()) {
        pthread_mutex_lock(&mutex_);
        if (ready_.load(std::memory_order_relaxed)) release();
        ready_.store(false, std::memory_order_release);
        pthread_mutex_unlock(&mutex_);
    }

    bool ready() const { return ready_.load(std::memory_order_acquire); }

private:
    std::atomic<bool> ready_{false};
    pthread_mutex_t mutex_ = PTHREAD_MUTEX_INITIALIZER;
};

} // namespace tarvo

#endif
