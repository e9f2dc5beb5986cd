// Locks of the launcher. UT_Lock is a recursive lock over a Windows critical
// section (a POSIX recursive mutex in native builds); any thread may use it.
#pragma once

#include <memory>

namespace Utility {

class UT_LockBase {
public:
    virtual ~UT_LockBase() = default;
    virtual void Lock() {}
    virtual void Unlock() {}
};

class UT_Lock : public UT_LockBase {
public:
    UT_Lock(const UT_Lock&) = delete;
    UT_Lock& operator=(const UT_Lock&) = delete;

    UT_Lock();
    ~UT_Lock() override;
    void Lock() override;
    void Unlock() override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Holds a lock for the lifetime of a scope.
class UT_AutoLock {
public:
    UT_AutoLock(const UT_AutoLock&) = delete;
    UT_AutoLock& operator=(const UT_AutoLock&) = delete;

    explicit UT_AutoLock(UT_LockBase& lock) : lock_(lock) { lock_.Lock(); }
    ~UT_AutoLock() { lock_.Unlock(); }

private:
    UT_LockBase& lock_;
};

}  // namespace Utility
