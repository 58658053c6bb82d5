#include "app/single_instance.h"

#include <QDir>

SingleInstanceGuard::SingleInstanceGuard() = default;

SingleInstanceGuard::~SingleInstanceGuard() = default; // QLockFile unlocks on destruction

QString SingleInstanceGuard::LockFilePath() {
    QString name = QString::fromLatin1(kMutexName);
    name.replace(u'\\', u'-');
    return QDir(QDir::tempPath()).absoluteFilePath(name + QStringLiteral(".lock"));
}

SingleInstanceGuard::Result SingleInstanceGuard::Acquire() {
    lock_ = std::make_unique<QLockFile>(LockFilePath());
    // No age makes a lock stale: only a lock whose process is gone may be taken over.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return Result::Acquired;
    }
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    return error == QLockFile::LockFailedError ? Result::AnotherInstance : Result::Unguarded;
}
