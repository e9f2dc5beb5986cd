#include "ui/controls/Progress.h"

#include <algorithm>

namespace SkinUI {

namespace {

const TAttribute<CProgressUI> kProgressAttributes[] = {
    {L"hor", [](CProgressUI& c, const wchar_t* v) { c.SetHorizontal(ParseBool(v)); }},
    {L"min", [](CProgressUI& c, const wchar_t* v) { c.SetMinValue(ParseInt(v)); }},
    {L"max", [](CProgressUI& c, const wchar_t* v) { c.SetMaxValue(ParseInt(v)); }},
    {L"value", [](CProgressUI& c, const wchar_t* v) { c.SetValue(ParseInt(v)); }},
    {L"foreimage", [](CProgressUI& c, const wchar_t* v) { c.SetForeImage(v); }},
    // Recognised so that layouts carrying it stay valid; the fore image is
    // always stretched.
    {L"isstretchfore", [](CProgressUI&, const wchar_t*) {}},
};

}  // namespace

TRect ProgressFillRect(int width, int height, int min, int max, int value, bool horizontal) {
    // 64-bit throughout: a wide bar with a large range must not overflow.
    const long long lo = min;
    long long hi = max;
    if (hi <= lo) hi = lo + 1;
    const long long v = std::clamp<long long>(value, lo, hi);
    const long long range = hi - lo;
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (horizontal) {
        return TRect{0, 0, static_cast<int>(width * (v - lo) / range), height};
    }
    return TRect{0, static_cast<int>(height * (hi - v) / range), width, height};
}

void CProgressUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    if (!ApplyAttribute(kProgressAttributes, *this, name, value)) {
        CLabelUI::SetAttribute(name, value);
    }
}

void CProgressUI::SetHorizontal(bool horizontal) {
    horizontal_ = horizontal;
    Invalidate();
}

void CProgressUI::SetMinValue(int min) {
    min_ = min;
    Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
    max_ = max;
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    if (value_ == value) return;
    value_ = value;
    Invalidate();
}

void CProgressUI::SetForeImage(const std::wstring& image) {
    foreImage_.SetAttribute(image);
    Invalidate();
}

void CProgressUI::PaintStatusImage(ICanvas& canvas) {
    const TRect fill =
        ProgressFillRect(pos_.Width(), pos_.Height(), min_, max_, value_, horizontal_);
    if (fill.IsEmpty()) return;
    DrawImage(canvas, foreImage_, &fill);
}

}  // namespace SkinUI
