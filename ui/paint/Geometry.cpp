#include "ui/paint/Geometry.h"

#include <algorithm>

namespace SkinUI {

bool IntersectRect(const TRect& a, const TRect& b, TRect& out) {
    out.left = std::max(a.left, b.left);
    out.top = std::max(a.top, b.top);
    out.right = std::min(a.right, b.right);
    out.bottom = std::min(a.bottom, b.bottom);
    if (out.IsEmpty()) {
        out = TRect{};
        return false;
    }
    return true;
}

int ClampCoord(long long value) {
    return static_cast<int>(std::clamp<long long>(value, -kMaxCoord, kMaxCoord));
}

TRect ClampLengths(const TRect& r) {
    return TRect{std::clamp(r.left, -kMaxLength, kMaxLength),
                 std::clamp(r.top, -kMaxLength, kMaxLength),
                 std::clamp(r.right, -kMaxLength, kMaxLength),
                 std::clamp(r.bottom, -kMaxLength, kMaxLength)};
}

}  // namespace SkinUI
