#include <mutex>

#include "common/Utility/UT_Lock.h"

namespace Utility {

// A critical section may be entered again by its owner; so may this.
struct UT_Lock::Impl {
    std::recursive_mutex mutex;
};

UT_Lock::UT_Lock() : impl_(std::make_unique<Impl>()) {}

UT_Lock::~UT_Lock() = default;

void UT_Lock::Lock() { impl_->mutex.lock(); }

void UT_Lock::Unlock() { impl_->mutex.unlock(); }

}  // namespace Utility
