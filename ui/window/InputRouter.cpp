#include "ui/window/InputRouter.h"

#include <algorithm>
#include <vector>

#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

// A control and every container above it are shown.
bool IsShown(const CControlUI* control) {
    for (; control != nullptr; control = control->GetParent()) {
        if (!control->IsVisible()) return false;
    }
    return true;
}

// The platform of a router that has none.
class NoPlatform : public IInputPlatformUI {
public:
    void TrackMouseLeave() override {}
    void TrackHover() override {}
    void HideToolTip() override {}
    void CaptureMouse(bool) override {}
    void FocusLeaving(CControlUI*) override {}
    void FocusTaken(CControlUI*) override {}
};

}  // namespace

void CInputRouter::SetPlatform(IInputPlatformUI* platform) {
    platform_ = platform;
}

IInputPlatformUI& CInputRouter::Platform() {
    static NoPlatform none;
    return platform_ != nullptr ? *platform_ : none;
}

CControlUI* CInputRouter::FindInputControl(CControlUI* root, TPoint point) {
    if (root == nullptr) return nullptr;
    return root->FindControl(
        [point](CControlUI* c) {
            return c->GetPos().Contains(point.x, point.y) && c->TakesMouse();
        },
        true);
}

bool CInputRouter::CanFocus(const CControlUI* control) {
    return control != nullptr && control->TakesFocus() && control->IsEnabled() && IsShown(control);
}

void CInputRouter::SetHot(CControlUI* control, TPoint point) {
    if (control == hot_) return;
    Platform().HideToolTip();
    if (hot_ != nullptr) {
        TEventUI leave{UIEvent::MouseLeave, point};
        CControlUI* old = hot_;
        hot_ = nullptr;
        old->DoEvent(leave);
    }
    hot_ = control;
    if (hot_ != nullptr) {
        TEventUI enter{UIEvent::MouseEnter, point};
        hot_->DoEvent(enter);
        // A new control under the pointer gets its own hover time.
        if (hot_ != nullptr && !hot_->GetToolTip().empty()) Platform().TrackHover();
    }
}

void CInputRouter::MouseMove(TPoint point) {
    manager_.SetMousePoint(point);
    Platform().TrackMouseLeave();
    CControlUI* under = FindInputControl(manager_.GetRoot(), point);
    if (capture_ != nullptr) {
        // While pressed, only the pressed control is hot (it shows pushed
        // only while the pointer is over it).
        SetHot(under == capture_ ? capture_ : nullptr, point);
        TEventUI move{UIEvent::MouseMove, point};
        if (capture_ != nullptr) capture_->DoEvent(move);
        return;
    }
    SetHot(under, point);
    if (hot_ != nullptr) {
        TEventUI move{UIEvent::MouseMove, point};
        hot_->DoEvent(move);
    }
}

void CInputRouter::MouseLeave() {
    if (capture_ == nullptr) SetHot(nullptr, manager_.GetMousePoint());
}

void CInputRouter::ButtonDown(TPoint point) {
    manager_.SetMousePoint(point);
    Platform().HideToolTip();
    CControlUI* under = FindInputControl(manager_.GetRoot(), point);
    SetHot(under, point);
    // A press outside every control that takes the focus ends typing.
    SetFocus(CanFocus(under) ? under : nullptr);
    if (under == nullptr || !under->IsEnabled()) return;
    capture_ = under;
    Platform().CaptureMouse(true);
    TEventUI down{UIEvent::ButtonDown, point};
    under->DoEvent(down);
}

void CInputRouter::ButtonUp(TPoint point) {
    manager_.SetMousePoint(point);
    CControlUI* pressed = capture_;
    capture_ = nullptr;
    Platform().CaptureMouse(false);
    if (pressed == nullptr) return;
    TEventUI up{UIEvent::ButtonUp, point};
    pressed->DoEvent(up);
    if (capture_ == nullptr && pressed == hot_) {
        // The pointer may have moved while the capture hid it from us.
        SetHot(FindInputControl(manager_.GetRoot(), point), point);
    }
}

void CInputRouter::CancelCapture() {
    CControlUI* pressed = capture_;
    capture_ = nullptr;
    if (pressed == nullptr) return;
    TEventUI up{UIEvent::ButtonUp, TPoint{-kMaxCoord, -kMaxCoord}};
    pressed->DoEvent(up);
}

bool CInputRouter::KeyDown(UIKey key, bool shift) {
    if (key == UIKey::Tab) {
        SetNextTabControl(!shift);
        return true;
    }
    return focus_ != nullptr && focus_->OnFocusedKey(key);
}

void CInputRouter::SetFocus(CControlUI* control) {
    if (control != nullptr && !CanFocus(control)) return;
    if (control == focus_) return;
    CControlUI* old = focus_;
    focus_ = nullptr;
    if (old != nullptr) {
        Platform().FocusLeaving(old);
        TEventUI kill{UIEvent::KillFocus, manager_.GetMousePoint()};
        old->DoEvent(kill);
        manager_.SendNotify(old, L"killfocus");
    }
    focus_ = control;
    if (control == nullptr) return;
    TEventUI set{UIEvent::SetFocus, manager_.GetMousePoint()};
    control->DoEvent(set);
    manager_.SendNotify(control, L"setfocus");
    if (focus_ != control) return;  // a handler moved it on
    Platform().FocusTaken(control);
}

bool CInputRouter::SetNextTabControl(bool forward) {
    std::vector<CControlUI*> order;
    if (CControlUI* root = manager_.GetRoot()) {
        VisitTree(*root, [&order](CControlUI& c) {
            if (!c.IsVisible()) return false;
            if (CanFocus(&c)) order.push_back(&c);
            return c.TabsIntoChildren();
        });
    }
    if (order.empty()) return false;
    const auto it = std::find(order.begin(), order.end(), focus_);
    size_t next = 0;
    if (it == order.end()) {
        next = forward ? 0 : order.size() - 1;
    } else {
        const size_t at = static_cast<size_t>(it - order.begin());
        next = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
    }
    SetFocus(order[next]);
    return true;
}

void CInputRouter::ControlGone(CControlUI* control) {
    const auto gone = [control](CControlUI* held) {
        return held != nullptr && (control == nullptr || held == control);
    };
    if (gone(hot_)) {
        hot_ = nullptr;
        Platform().HideToolTip();
    }
    if (gone(capture_)) {
        capture_ = nullptr;
        Platform().CaptureMouse(false);
    }
    if (gone(focus_)) focus_ = nullptr;
}

}  // namespace SkinUI
