#pragma once

#include <csignal>
#include <sys/resource.h>

// A card without a free block, as a writer sees it, for the whole process
// while this lives: every byte written to a file fails (EFBIG here, ENOSPC
// on the unit), creating a file does not. Pipes and sockets are unaffected.
class FullCard
{
public:
    FullCard()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &was_);
        rlimit none = was_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullCard() { release(); }
    FullCard(const FullCard &) = delete;
    FullCard &operator=(const FullCard &) = delete;
    void release() { setrlimit(RLIMIT_FSIZE, &was_); }

private:
    rlimit was_{};
};
