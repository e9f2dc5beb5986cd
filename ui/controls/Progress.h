// The progress bar: a fore image stretched over the filled part. UI thread
// only.
#pragma once

#include "ui/controls/Label.h"

namespace SkinUI {

// The filled part of a progress bar of |width| x |height|, relative to its
// top-left corner: from the left edge when |horizontal|, else from the
// bottom edge up. A range whose max is not above min counts as min..min+1
// and |value| is clamped into the range.
TRect ProgressFillRect(int width, int height, int min, int max, int value, bool horizontal);

class CProgressUI : public CLabelUI {
public:
    std::wstring_view GetClass() const override { return L"ProgressUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override;

    bool IsHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal);
    int GetMinValue() const { return min_; }
    void SetMinValue(int min);
    int GetMaxValue() const { return max_; }
    void SetMaxValue(int max);
    int GetValue() const { return value_; }
    void SetValue(int value);
    void SetForeImage(const std::wstring& image);

protected:
    void PaintStatusImage(ICanvas& canvas) override;

    bool horizontal_ = true;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    TImageDrawInfo foreImage_;
};

}  // namespace SkinUI
