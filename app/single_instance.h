// The single-instance guard: a lock file in the temporary folder named after the original
// mutex name. A live instance's lock is never taken for stale; a dead process's lock is
// cleared and taken over.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

class SingleInstanceGuard {
public:
    static constexpr const char* kMutexName = "Global\\VeZephran";
    static constexpr const char* kAnotherInstanceText =
        "Another Instance of the Tool already running";

    enum class Result {
        Acquired,        // this process is the only instance
        AnotherInstance, // another live process holds the lock
        Unguarded,       // the lock could not be made; start-up goes on without a guard
    };

    SingleInstanceGuard();
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    Result Acquire();

    // The lock file's path (in QDir::tempPath(), which follows TMPDIR).
    static QString LockFilePath();

private:
    std::unique_ptr<QLockFile> lock_;
};
