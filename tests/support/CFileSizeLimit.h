#pragma once

// POSIX only: Windows has no per-process file-size limit.
#ifndef _WIN32

#include <sys/resource.h>

// A disk that fills up after `bytes` bytes of any one file, for this process while
// the object lives: writes beyond fail with EFBIG, as they fail with ENOSPC on a
// full disk (SIGXFSZ is ignored meanwhile).
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes);
    ~CFileSizeLimit();
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

#endif
