// The per-window half of CWindowManagerUI: the attached control tree, the
// layout's resources and window attributes, and notification delivery.
#include <algorithm>
#include <chrono>

#include "common/AsciiCase.h"
#include "common/qlogger/QLogger.h"
#include "ui/controls/AttributeValues.h"
#include "ui/controls/Control.h"
#include "ui/skin/SkinImage.h"
#include "ui/skin/SkinMarkup.h"
#include "ui/window/WindowManager.h"

namespace SkinUI {

namespace {

// Without a loader of their own, windows read images through the
// process-wide skin source (package or resource folder).
class CSkinSourceImageLoader : public ISkinImageLoader {
public:
    bool LoadImage(const std::wstring& file, const std::wstring& restype, uint32_t mask,
                   TImageData& out) override {
        TImageInfo info;
        if (!LoadSkinImage(file, mask, CWindowManagerUI::GetSkinFileSource(), info, restype)) {
            return false;
        }
        out.width = info.width;
        out.height = info.height;
        out.pixels = std::move(info.pixels);
        out.hasAlpha = info.hasAlpha;
        return true;
    }
};

uint32_t TickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

CWindowManagerUI::CWindowManagerUI() = default;

CWindowManagerUI::~CWindowManagerUI() {
    // Controls may reach the manager while they go; detach them first.
    if (root_) root_->SetManager(nullptr, nullptr);
    for (auto& control : delayedDestroy_) control->SetManager(nullptr, nullptr);
}

bool CWindowManagerUI::AttachDialog(std::unique_ptr<CControlUI> root) {
    if (!root) {
        QLogger::LogW(QLOG_ERROR, L"%ls: no control tree", L"CWindowManagerUI::AttachDialog");
        return false;
    }
    names_.clear();
    queued_.clear();  // their senders belong to the tree that goes
    input_.ControlGone(nullptr);
    if (host_ != nullptr) host_->ControlGone(nullptr);
    if (root_) {
        root_->SetManager(nullptr, nullptr);
        DelayedDestroy(std::move(root_));
    }
    root_ = std::move(root);
    root_->SetManager(this, nullptr);
    VisitTree(*root_, [this](CControlUI& control) {
        RegisterName(&control);
        return true;
    });
    needUpdate_ = true;
    windowInitSent_ = false;
    Invalidate(TRect{0, 0, clientSize_.cx, clientSize_.cy});
    return true;
}

CControlUI* CWindowManagerUI::FindControl(const std::wstring& name) const {
    const auto it = names_.find(name);
    return it != names_.end() ? it->second : nullptr;
}

CControlUI* CWindowManagerUI::FindControl(TPoint point) const {
    if (!root_) return nullptr;
    return root_->FindControl(
        [point](CControlUI* c) { return c->GetPos().Contains(point.x, point.y); }, true);
}

void CWindowManagerUI::RegisterName(CControlUI* control) {
    if (control == nullptr || control->GetName().empty()) return;
    // The first control of a name keeps it, as a search of the tree would.
    names_.emplace(control->GetName(), control);
}

void CWindowManagerUI::ForgetControl(CControlUI* control) {
    input_.ControlGone(control);
    if (host_ != nullptr) host_->ControlGone(control);
    std::erase_if(names_, [control](const auto& entry) { return entry.second == control; });
    // A queued notification must not outlive its sender.
    std::erase_if(queued_, [control](const TControlNotify& msg) { return msg.sender == control; });
}

void CWindowManagerUI::SetClientSize(TSize size) {
    clientSize_ = TSize{std::max(size.cx, 0), std::max(size.cy, 0)};
    needUpdate_ = true;
    Invalidate(TRect{0, 0, clientSize_.cx, clientSize_.cy});
}

void CWindowManagerUI::NeedUpdate() {
    needUpdate_ = true;
    Invalidate(TRect{0, 0, clientSize_.cx, clientSize_.cy});
}

void CWindowManagerUI::Invalidate(const TRect& rect) {
    if (rect.IsEmpty()) return;
    if (host_ != nullptr) host_->InvalidateRect(rect);
    if (invalid_.IsEmpty()) {
        invalid_ = rect;
        return;
    }
    invalid_.left = std::min(invalid_.left, rect.left);
    invalid_.top = std::min(invalid_.top, rect.top);
    invalid_.right = std::max(invalid_.right, rect.right);
    invalid_.bottom = std::max(invalid_.bottom, rect.bottom);
}

TRect CWindowManagerUI::TakeInvalidRect() {
    const TRect rect = invalid_;
    invalid_ = TRect{};
    return rect;
}

void CWindowManagerUI::Paint(ICanvas& canvas, const TRect& paint) {
    if (!root_) return;
    if (needUpdate_) {
        needUpdate_ = false;
        root_->SetPos(TRect{0, 0, clientSize_.cx, clientSize_.cy});
    }
    if (!windowInitSent_) {
        windowInitSent_ = true;
        SendNotify(root_.get(), L"windowinit");
        // The window may have changed the tree while initialising.
        if (!root_) return;
        if (needUpdate_) {
            needUpdate_ = false;
            root_->SetPos(TRect{0, 0, clientSize_.cx, clientSize_.cy});
        }
    }
    root_->DoPaint(canvas, paint);
    ReapDelayedControls();
}

const TImageData* CWindowManagerUI::GetImage(const std::wstring& file, const std::wstring& restype,
                                             uint32_t mask) {
    if (file.empty()) return nullptr;
    const auto it = images_.find(file);
    if (it != images_.end()) return it->second ? &*it->second : nullptr;
    static CSkinSourceImageLoader skinSource;
    ISkinImageLoader& loader = imageLoader_ != nullptr ? *imageLoader_ : skinSource;
    TImageData image;
    const bool loaded = loader.LoadImage(file, restype, mask, image);
    if (!loaded) {
        // Remembered as failed: later paints skip it without trying again.
        QLogger::LogW(QLOG_WARNING, L"%ls: cannot load image %ls", L"CWindowManagerUI::GetImage",
                      file.c_str());
        images_.emplace(file, std::nullopt);
        return nullptr;
    }
    auto [inserted, ok] = images_.emplace(file, std::move(image));
    return &*inserted->second;
}

bool CWindowManagerUI::AddImage(const std::wstring& file, const std::wstring& restype,
                                uint32_t mask) {
    return GetImage(file, restype, mask) != nullptr;
}

void CWindowManagerUI::AddFont(int id, const TFontInfo& font, bool isDefault) {
    fonts_[id] = font;
    if (isDefault) defaultFont_ = font;
}

const TFontInfo& CWindowManagerUI::GetFont(int id) const {
    const auto it = fonts_.find(id);
    return it != fonts_.end() ? it->second : defaultFont_;
}

void CWindowManagerUI::AddDefaultAttributeList(const std::wstring& element,
                                               const std::wstring& list) {
    defaultAttributes_[AsciiLowerCopy(element)] = list;
}

const wchar_t* CWindowManagerUI::GetDefaultAttributeList(const std::wstring& element) const {
    const auto it = defaultAttributes_.find(AsciiLowerCopy(element));
    return it != defaultAttributes_.end() ? it->second.c_str() : nullptr;
}

void CWindowManagerUI::AddMultiLanguageString(int id, const std::wstring& text) {
    strings_[id] = text;
}

const std::wstring* CWindowManagerUI::GetMultiLanguageString(int id) const {
    const auto it = strings_.find(id);
    return it != strings_.end() ? &it->second : nullptr;
}

bool CWindowManagerUI::ApplyWindowAttribute(const std::wstring& name, const wchar_t* value) {
    if (value == nullptr) return false;
    const std::wstring key = AsciiLowerCopy(name);
    if (key == L"size") {
        window_.initSize = ParseSize(value);
        SetClientSize(window_.initSize);
    } else if (key == L"sizebox") {
        window_.sizeBox = ParseRect(value);
    } else if (key == L"caption") {
        window_.caption = ParseRect(value);
    } else if (key == L"roundcorner") {
        window_.roundCorner = ParseSize(value);
    } else if (key == L"mininfo") {
        window_.minInfo = ParseSize(value);
    } else if (key == L"maxinfo") {
        window_.maxInfo = ParseSize(value);
    } else if (key == L"showdirty") {
        window_.showDirty = ParseBool(value);
    } else if (key == L"alpha") {
        SetOpacity(ParseInt(value));
    } else if (key == L"bktrans") {
        // Recognised; transparency comes from "alpha" alone.
    } else if (key == L"disabledfontcolor") {
        window_.disabledFontColor = ParseColor(value);
    } else if (key == L"defaultfontcolor") {
        window_.defaultFontColor = ParseColor(value);
    } else if (key == L"linkfontcolor") {
        window_.linkFontColor = ParseColor(value);
    } else if (key == L"linkhoverfontcolor") {
        window_.linkHoverFontColor = ParseColor(value);
    } else if (key == L"selectedcolor") {
        window_.selectedColor = ParseColor(value);
    } else {
        return false;
    }
    return true;
}

void CWindowManagerUI::SetOpacity(int opacity) {
    window_.opacity = std::clamp(opacity, 0, 255);
    if (host_ != nullptr) host_->OpacityChanged(window_.opacity);
}

void CWindowManagerUI::AddNotifier(INotifyUI* notifier) {
    if (notifier != nullptr &&
        std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) {
        notifiers_.push_back(notifier);
    }
}

void CWindowManagerUI::RemoveNotifier(INotifyUI* notifier) {
    std::erase(notifiers_, notifier);
}

void CWindowManagerUI::SendNotify(CControlUI* control, const std::wstring& type, uint32_t wParam,
                                  uint32_t lParam, bool async) {
    TControlNotify msg{type, L"", control, TickCount(), mouse_, wParam, lParam};
    if (async) {
        const bool wasEmpty = queued_.empty();
        queued_.push_back(std::move(msg));
        // One wake-up per batch: the delivery takes everything queued.
        if (wasEmpty && host_ != nullptr) host_->WakeForNotifications();
        return;
    }
    Deliver(msg);
}

void CWindowManagerUI::DeliverQueuedNotifications() {
    // A handler may queue more; those wait for the next round.
    std::vector<TControlNotify> batch;
    batch.swap(queued_);
    for (auto& msg : batch) Deliver(msg);
}

void CWindowManagerUI::Deliver(TControlNotify& msg) {
    if (msg.sender != nullptr) {
        for (auto& delegate : msg.sender->OnNotify) delegate(msg);
    }
    // A notifier may remove itself (or others) while handling.
    const std::vector<INotifyUI*> notifiers = notifiers_;
    for (INotifyUI* notifier : notifiers) {
        if (std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) {
            notifier->Notify(msg);
        }
    }
}

void CWindowManagerUI::DelayedDestroy(std::unique_ptr<CControlUI> control) {
    if (control) delayedDestroy_.push_back(std::move(control));
}

void CWindowManagerUI::ReapDelayedControls() {
    delayedDestroy_.clear();
}

void CWindowManagerUI::ControlTextChanged(CControlUI* control) {
    if (host_ != nullptr && control != nullptr) host_->ControlTextChanged(control);
}

void CWindowManagerUI::ShowDropDown(CComboUI* combo) {
    if (host_ != nullptr && combo != nullptr) host_->ShowDropDown(combo);
}

void CWindowManagerUI::AttachHost(std::unique_ptr<IWindowHostUI> host, IInputPlatformUI* input) {
    input_.SetPlatform(nullptr);
    host_ = std::move(host);
    if (host_ == nullptr) return;
    input_.SetPlatform(input);
    if (window_.opacity != 255) host_->OpacityChanged(window_.opacity);
}

bool CWindowManagerUI::SetTimer(CControlUI* control, unsigned id, unsigned elapseMs) {
    return host_ != nullptr && control != nullptr && host_->SetTimer(control, id, elapseMs);
}

bool CWindowManagerUI::KillTimer(CControlUI* control, unsigned id) {
    return host_ != nullptr && host_->KillTimer(control, id);
}

void CWindowManagerUI::KillTimer(CControlUI* control) {
    if (host_ != nullptr) host_->KillTimers(control);
}

}  // namespace SkinUI
