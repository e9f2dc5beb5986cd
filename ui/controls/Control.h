// The base of every skinned control: position and size rules, the common
// attributes, background, border and state painting through ICanvas, and
// the few input events that the launcher's controls react to. A control is
// owned by its parent container (or, for the root, by the window manager).
// UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls/AttributeValues.h"
#include "ui/controls/ImageDrawInfo.h"
#include "ui/controls/Notify.h"
#include "ui/paint/Canvas.h"

namespace SkinUI {

class CWindowManagerUI;
class CControlUI;

// Containers accept children through this interface (the builder adds
// every built control through it).
class IContainerUI {
public:
    virtual ~IContainerUI() = default;
    virtual int GetCount() const = 0;
    virtual CControlUI* GetItemAt(int index) const = 0;
    // Takes ownership; false (and the control is destroyed) when refused.
    virtual bool Add(std::unique_ptr<CControlUI> control) = 0;
    virtual bool Remove(CControlUI* control) = 0;
    virtual void RemoveAll() = 0;
};

enum class UIEvent { MouseEnter, MouseLeave, MouseMove, ButtonDown, ButtonUp, SetFocus, KillFocus };

// The keys a focused control may act on; the platform maps its own codes.
enum class UIKey { Other, Up, Down, Return, Escape, Tab, F4, Space };

struct TEventUI {
    UIEvent type = UIEvent::MouseMove;
    TPoint point;  // client coordinates
};

// The hot and pushed state of a control that is pressed like a button. A
// press dragged off the control and released elsewhere is a change of
// mind, not a click.
struct TPressState {
    enum Result {
        kNotAPressEvent,  // focus or move: the control's own business
        kUnchanged,       // a press event that changes nothing
        kChanged,         // repaint
        kClicked,         // repaint and activate
    };

    // Follows enter, leave, down and up events.
    Result Track(const TEventUI& event, bool enabled, const TRect& pos);

    bool hot = false;
    bool pushed = false;
};

// One entry of a control class's attribute table.
template <class T>
struct TAttribute {
    std::wstring_view name;
    void (*apply)(T& control, const wchar_t* value);
};

// Applies |name| through |table|; false when the table does not know it.
template <class T, size_t N>
bool ApplyAttribute(const TAttribute<T> (&table)[N], T& control, std::wstring_view name,
                    const wchar_t* value) {
    for (const auto& entry : table) {
        if (entry.name == name) {
            entry.apply(control, value);
            return true;
        }
    }
    return false;
}

inline constexpr int kMaxSize = kMaxLength;

class CControlUI {
public:
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    CControlUI() = default;
    virtual ~CControlUI() = default;

    // The class name the window base compares ("ButtonUI", "OptionUI", ...).
    virtual std::wstring_view GetClass() const { return L"ControlUI"; }
    virtual IContainerUI* GetContainer() { return nullptr; }

    // Attribute names are case-sensitive; unknown ones are ignored. Each
    // class looks in its own table first, then hands on to its base.
    virtual void SetAttribute(std::wstring_view name, const wchar_t* value);
    // A list of name="value" pairs (a "Default" element's value); stops at
    // the first malformed pair.
    void ApplyAttributeList(const wchar_t* list);

    CWindowManagerUI* GetManager() const { return manager_; }
    CControlUI* GetParent() const { return parent_; }
    virtual void SetManager(CWindowManagerUI* manager, CControlUI* parent);

    const std::wstring& GetName() const { return name_; }
    void SetName(const std::wstring& name) { name_ = name; }
    const std::wstring& GetText() const { return text_; }
    virtual void SetText(const std::wstring& text);
    const std::wstring& GetToolTip() const { return tooltip_; }
    void SetToolTip(const std::wstring& text) { tooltip_ = text; }
    const std::wstring& GetUserData() const { return userData_; }
    void SetUserData(const std::wstring& data) { userData_ = data; }

    bool IsVisible() const { return visible_; }
    virtual void SetVisible(bool visible);
    // Visible itself and inside visible containers all the way up.
    bool IsShown() const;
    bool IsEnabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    bool IsFloat() const { return float_; }
    void SetFloat(bool value);

    // Position rules read by the parent's layout.
    TPoint GetFixedXY() const { return fixedXY_; }
    void SetFixedXY(TPoint xy);
    int GetFixedWidth() const { return fixedWidth_; }
    void SetFixedWidth(int cx);
    int GetFixedHeight() const { return fixedHeight_; }
    void SetFixedHeight(int cy);
    int GetMinWidth() const { return minWidth_; }
    int GetMaxWidth() const { return maxWidth_; }
    int GetMinHeight() const { return minHeight_; }
    int GetMaxHeight() const { return maxHeight_; }
    void SetMinWidth(int cx);
    void SetMaxWidth(int cx);
    void SetMinHeight(int cy);
    void SetMaxHeight(int cy);
    const TRect& GetPadding() const { return padding_; }
    void SetPadding(const TRect& padding);

    // The rectangle in window client coordinates that layout gave.
    const TRect& GetPos() const { return pos_; }
    virtual void SetPos(const TRect& rect);

    uint32_t GetBkColor() const { return bkColor_; }
    void SetBkColor(uint32_t color);
    const std::wstring& GetBkImage() const { return bkImage_.attribute; }
    void SetBkImage(const std::wstring& image);
    int GetBorderSize() const { return borderSize_; }
    uint32_t GetBorderColor() const { return borderColor_; }
    TSize GetBorderRound() const { return borderRound_; }
    void SetBorderSize(int size);
    void SetBorderColor(uint32_t color);
    void SetBorderRound(TSize round);

    // Asks the manager to repaint this control's rectangle.
    void Invalidate();
    // Asks the parent (or the manager, for the root) to lay out again.
    void NeedParentUpdate();

    // Paints the parts of this control inside |paint|.
    virtual void DoPaint(ICanvas& canvas, const TRect& paint);

    virtual void DoEvent(TEventUI& event);
    // The control's action (a button's click); false when it may not act.
    virtual bool Activate();

    // What the control takes of the player's input. A control that takes
    // the focus is in the tab order; one that takes the mouse is hit by
    // presses and becomes hot, while the others (plain labels, layouts) let
    // presses through to what lies beneath them. Any control with a tool
    // tip takes the mouse, to show it.
    virtual bool TakesFocus() const { return false; }
    virtual bool TakesMouse() const { return !GetToolTip().empty(); }
    // Whether the controls inside it are in the tab order.
    virtual bool TabsIntoChildren() const { return true; }
    // A key pressed while the control has the focus; true when it acted.
    virtual bool OnFocusedKey(UIKey /*key*/) { return false; }

    // Depth-first search over this control and its descendants; the first
    // that |match| accepts is returned. With |onlyVisible|, hidden controls
    // and everything inside them are skipped.
    virtual CControlUI* FindControl(const std::function<bool(CControlUI*)>& match,
                                    bool onlyVisible);

    // The control's own delegates: called synchronously before the
    // window's notifiers see a notification sent by this control.
    std::vector<std::function<void(TControlNotify&)>> OnNotify;

protected:
    // Called on a control and everything below it after its own or an
    // ancestor's visibility changed: what a control keeps outside the
    // painted tree (a native window) follows it here.
    virtual void OnShownChanged() {}

    virtual void PaintBkColor(ICanvas& canvas);
    virtual void PaintBkImage(ICanvas& canvas);
    virtual void PaintStatusImage(ICanvas& canvas);
    virtual void PaintText(ICanvas& canvas);
    // Background colour and image, state image and text: everything a
    // control draws of itself under its children and its border.
    void PaintOwnLayers(ICanvas& canvas);
    virtual void PaintBorder(ICanvas& canvas);

    // Draws one image attribute into the control; |dest| (relative to the
    // control's top-left corner) overrides the attribute's own "dest".
    // False when there is nothing to draw (no file, or it failed to load).
    bool DrawImage(ICanvas& canvas, TImageDrawInfo& image, const TRect* dest = nullptr);

    void Notify(const std::wstring& type, uint32_t wParam = 0, uint32_t lParam = 0);

    CWindowManagerUI* manager_ = nullptr;
    CControlUI* parent_ = nullptr;
    std::wstring name_;
    std::wstring text_;
    std::wstring tooltip_;
    std::wstring userData_;
    bool visible_ = true;
    bool enabled_ = true;
    bool float_ = false;
    TPoint fixedXY_;
    int fixedWidth_ = 0;
    int fixedHeight_ = 0;
    int minWidth_ = 0;
    int maxWidth_ = kMaxSize;
    int minHeight_ = 0;
    int maxHeight_ = kMaxSize;
    TRect padding_;
    TRect pos_;
    uint32_t bkColor_ = 0;
    TImageDrawInfo bkImage_;
    int borderSize_ = 0;
    uint32_t borderColor_ = 0;
    TSize borderRound_;
};

// Visits |control| and then, depth first in child order, the controls below
// it: the order in which a layout lists them. |visit| returns whether to go
// on into the children of the control it was handed.
void VisitTree(CControlUI& control, const std::function<bool(CControlUI&)>& visit);

}  // namespace SkinUI
