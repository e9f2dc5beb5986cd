#include "ui/controls/Control.h"

#include <algorithm>

#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

// Sizes from a layout are never negative; a negative number is a typo
// that would otherwise turn into a huge unsigned-looking rectangle later.
int NonNegative(int value) {
    return std::clamp(value, 0, kMaxLength);
}

const TAttribute<CControlUI> kControlAttributes[] = {
    {L"name", [](CControlUI& c, const wchar_t* v) { c.SetName(v); }},
    {L"pos",
     [](CControlUI& c, const wchar_t* v) {
         const TRect r = ParseRect(v);
         c.SetFixedXY({r.left, r.top});
         c.SetFixedWidth(r.right - r.left);
         c.SetFixedHeight(r.bottom - r.top);
     }},
    {L"float", [](CControlUI& c, const wchar_t* v) { c.SetFloat(ParseBool(v)); }},
    {L"width", [](CControlUI& c, const wchar_t* v) { c.SetFixedWidth(ParseInt(v)); }},
    {L"height", [](CControlUI& c, const wchar_t* v) { c.SetFixedHeight(ParseInt(v)); }},
    {L"minwidth", [](CControlUI& c, const wchar_t* v) { c.SetMinWidth(ParseInt(v)); }},
    {L"minheight", [](CControlUI& c, const wchar_t* v) { c.SetMinHeight(ParseInt(v)); }},
    {L"maxwidth", [](CControlUI& c, const wchar_t* v) { c.SetMaxWidth(ParseInt(v)); }},
    {L"maxheight", [](CControlUI& c, const wchar_t* v) { c.SetMaxHeight(ParseInt(v)); }},
    {L"padding", [](CControlUI& c, const wchar_t* v) { c.SetPadding(ParseRect(v)); }},
    {L"bkcolor", [](CControlUI& c, const wchar_t* v) { c.SetBkColor(ParseColor(v)); }},
    {L"bkimage", [](CControlUI& c, const wchar_t* v) { c.SetBkImage(v); }},
    {L"text", [](CControlUI& c, const wchar_t* v) { c.SetText(v); }},
    {L"tooltip", [](CControlUI& c, const wchar_t* v) { c.SetToolTip(v); }},
    {L"userdata", [](CControlUI& c, const wchar_t* v) { c.SetUserData(v); }},
    {L"visible", [](CControlUI& c, const wchar_t* v) { c.SetVisible(ParseBool(v)); }},
    {L"enabled", [](CControlUI& c, const wchar_t* v) { c.SetEnabled(ParseBool(v)); }},
    {L"bordersize", [](CControlUI& c, const wchar_t* v) { c.SetBorderSize(ParseInt(v)); }},
    {L"bordercolor", [](CControlUI& c, const wchar_t* v) { c.SetBorderColor(ParseColor(v)); }},
    {L"borderround", [](CControlUI& c, const wchar_t* v) { c.SetBorderRound(ParseSize(v)); }},
};

}  // namespace

void CControlUI::SetAttribute(std::wstring_view name, const wchar_t* value) {
    if (value == nullptr) return;
    ApplyAttribute(kControlAttributes, *this, name, value);
}

void CControlUI::ApplyAttributeList(const wchar_t* list) {
    if (list == nullptr) return;
    const std::wstring_view text(list);
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] <= L' ') ++pos;
        if (pos == text.size()) return;
        const size_t eq = text.find(L'=', pos);
        if (eq == std::wstring_view::npos || eq + 1 >= text.size() || text[eq + 1] != L'"') return;
        const size_t end = text.find(L'"', eq + 2);
        if (end == std::wstring_view::npos) return;
        const std::wstring name(text.substr(pos, eq - pos));
        const std::wstring value(text.substr(eq + 2, end - eq - 2));
        SetAttribute(name, value.c_str());
        pos = end + 1;
    }
}

void CControlUI::SetManager(CWindowManagerUI* manager, CControlUI* parent) {
    manager_ = manager;
    parent_ = parent;
}

void CControlUI::SetText(const std::wstring& text) {
    if (text_ == text) return;
    text_ = text;
    Invalidate();
}

void CControlUI::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    NeedParentUpdate();
    VisitTree(*this, [](CControlUI& control) {
        control.OnShownChanged();
        return true;
    });
}

bool CControlUI::IsShown() const {
    for (const CControlUI* control = this; control != nullptr; control = control->parent_) {
        if (!control->visible_) return false;
    }
    return true;
}

void CControlUI::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Invalidate();
}

void CControlUI::SetFloat(bool value) {
    float_ = value;
    NeedParentUpdate();
}

void CControlUI::SetFixedXY(TPoint xy) {
    fixedXY_ = TPoint{std::clamp(xy.x, -kMaxLength, kMaxLength),
                      std::clamp(xy.y, -kMaxLength, kMaxLength)};
    NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
    fixedWidth_ = NonNegative(cx);
    NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
    fixedHeight_ = NonNegative(cy);
    NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx) {
    minWidth_ = NonNegative(cx);
    NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx) {
    maxWidth_ = NonNegative(cx);
    NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy) {
    minHeight_ = NonNegative(cy);
    NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy) {
    maxHeight_ = NonNegative(cy);
    NeedParentUpdate();
}

void CControlUI::SetPadding(const TRect& padding) {
    padding_ = ClampLengths(padding);
    NeedParentUpdate();
}

void CControlUI::SetPos(const TRect& rect) {
    TRect r{ClampCoord(rect.left), ClampCoord(rect.top), ClampCoord(rect.right),
            ClampCoord(rect.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    Invalidate();
    pos_ = r;
    Invalidate();
}

void CControlUI::SetBorderSize(int size) {
    borderSize_ = NonNegative(size);
    Invalidate();
}

void CControlUI::SetBorderColor(uint32_t color) {
    borderColor_ = color;
    Invalidate();
}

void CControlUI::SetBorderRound(TSize round) {
    borderRound_ = TSize{NonNegative(round.cx), NonNegative(round.cy)};
    Invalidate();
}

void CControlUI::SetBkColor(uint32_t color) {
    bkColor_ = color;
    Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& image) {
    bkImage_.SetAttribute(image);
    Invalidate();
}

void CControlUI::Invalidate() {
    if (manager_ != nullptr && visible_) manager_->Invalidate(pos_);
}

void CControlUI::NeedParentUpdate() {
    if (manager_ != nullptr) manager_->NeedUpdate();
}

void CControlUI::PaintOwnLayers(ICanvas& canvas) {
    PaintBkColor(canvas);
    PaintBkImage(canvas);
    PaintStatusImage(canvas);
    PaintText(canvas);
}

void CControlUI::DoPaint(ICanvas& canvas, const TRect& paint) {
    TRect visible;
    if (!IntersectRect(paint, pos_, visible)) return;
    canvas.PushClip(visible);
    PaintOwnLayers(canvas);
    PaintBorder(canvas);
    canvas.PopClip();
}

void CControlUI::PaintBkColor(ICanvas& canvas) {
    if (bkColor_ != 0) canvas.FillRect(pos_, bkColor_);
}

void CControlUI::PaintBkImage(ICanvas& canvas) {
    DrawImage(canvas, bkImage_);
}

void CControlUI::PaintStatusImage(ICanvas&) {}

void CControlUI::PaintText(ICanvas&) {}

void CControlUI::PaintBorder(ICanvas& canvas) {
    if (borderSize_ <= 0) return;
    // Border colours are drawn opaque: only red, green and blue count.
    const uint32_t color = borderColor_ | 0xFF000000u;
    if (borderRound_.cx > 0 || borderRound_.cy > 0) {
        canvas.DrawRoundBorder(pos_, borderSize_, borderRound_.cx, borderRound_.cy, color);
    } else {
        canvas.DrawBorder(pos_, borderSize_, color);
    }
}

bool CControlUI::DrawImage(ICanvas& canvas, TImageDrawInfo& image, const TRect* dest) {
    if (image.IsEmpty() || manager_ == nullptr) return false;
    image.Parse();
    if (image.file.empty()) return false;
    const TImageData* data = manager_->GetImage(image.file, image.restype, image.mask);
    if (data == nullptr || data->width <= 0 || data->height <= 0) return false;

    TImageDraw draw;
    const TRect relative = dest != nullptr ? *dest : image.dest;
    if (dest == nullptr && relative.IsNull()) {
        draw.dest = pos_;
    } else {
        const TRect r = ClampLengths(relative);
        draw.dest =
            TRect{pos_.left + r.left, pos_.top + r.top, pos_.left + r.right, pos_.top + r.bottom};
    }
    if (draw.dest.IsEmpty()) return false;
    draw.source = image.source;
    if (draw.source.IsNull()) draw.source = TRect{0, 0, data->width, data->height};
    draw.source.left = std::clamp(draw.source.left, 0, data->width);
    draw.source.top = std::clamp(draw.source.top, 0, data->height);
    draw.source.right = std::clamp(draw.source.right, 0, data->width);
    draw.source.bottom = std::clamp(draw.source.bottom, 0, data->height);
    if (draw.source.IsEmpty()) return false;
    draw.corner = image.corner;
    draw.fade = image.fade;
    draw.hole = image.hole;
    draw.xtiled = image.xtiled;
    draw.ytiled = image.ytiled;
    canvas.DrawImage(*data, draw);
    return true;
}

void CControlUI::DoEvent(TEventUI&) {}

bool CControlUI::Activate() {
    return visible_ && enabled_;
}

CControlUI* CControlUI::FindControl(const std::function<bool(CControlUI*)>& match,
                                    bool onlyVisible) {
    if (onlyVisible && !visible_) return nullptr;
    return match(this) ? this : nullptr;
}

void CControlUI::Notify(const std::wstring& type, uint32_t wParam, uint32_t lParam) {
    if (manager_ != nullptr) {
        manager_->SendNotify(this, type, wParam, lParam);
        return;
    }
    // Without a window the control's own delegates still hear it.
    TControlNotify msg{type, L"", this, 0, {}, wParam, lParam};
    for (auto& delegate : OnNotify) delegate(msg);
}

void VisitTree(CControlUI& control, const std::function<bool(CControlUI&)>& visit) {
    if (!visit(control)) return;
    if (IContainerUI* container = control.GetContainer()) {
        for (int i = 0; i < container->GetCount(); ++i) VisitTree(*container->GetItemAt(i), visit);
    }
}

TPressState::Result TPressState::Track(const TEventUI& event, bool enabled, const TRect& pos) {
    switch (event.type) {
        case UIEvent::MouseEnter:
            if (enabled) hot = true;
            return kChanged;
        case UIEvent::MouseLeave:
            hot = false;
            return kChanged;
        case UIEvent::ButtonDown:
            if (!enabled) return kUnchanged;
            pushed = true;
            return kChanged;
        case UIEvent::ButtonUp:
            if (!pushed) return kUnchanged;
            pushed = false;
            return pos.Contains(event.point.x, event.point.y) ? kClicked : kChanged;
        default:
            return kNotAPressEvent;
    }
}

}  // namespace SkinUI
