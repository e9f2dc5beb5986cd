#include "common/Utility/UT_Lock.h"

#include <windows.h>

namespace Utility {

struct UT_Lock::Impl {
    CRITICAL_SECTION section;
};

UT_Lock::UT_Lock() : impl_(std::make_unique<Impl>()) { InitializeCriticalSection(&impl_->section); }

UT_Lock::~UT_Lock() { DeleteCriticalSection(&impl_->section); }

void UT_Lock::Lock() { EnterCriticalSection(&impl_->section); }

void UT_Lock::Unlock() { LeaveCriticalSection(&impl_->section); }

}  // namespace Utility
