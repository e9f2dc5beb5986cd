// The open list of a combo box: its size, which item is hot, which item a
// point or a key chooses, and how it paints. Decisions only; the platform
// shows it in a window of its own under the box and closes it when told.
// Portable; UI thread only.
#pragma once

#include <cstdint>

#include "ui/controls/Control.h"
#include "ui/paint/Canvas.h"
#include "ui/paint/Geometry.h"

namespace SkinUI {

class CComboUI;
class CWindowManagerUI;

class CDropDownList {
public:
    // The list's own colours (the skin names none): a light paper under
    // the items and a dark bronze frame; the hot row takes the window's
    // "selectedcolor".
    static constexpr uint32_t kBackground = 0xFFF3F1EC;
    static constexpr uint32_t kBorder = 0xFF5A4A2A;

    // Opens on |combo|'s items with its selection hot.
    explicit CDropDownList(CComboUI& combo);

    CComboUI& GetCombo() const { return *combo_; }
    int GetHot() const { return hot_; }

    // A row is as high as the box, within 18 to 40; the list is as wide as
    // the box (at least 40) and one pixel of frame surrounds the rows.
    int ItemHeight() const;
    TSize Size() const;
    // The row under |point| (list coordinates), or -1.
    int ItemAt(TPoint point) const;

    // The pointer over a row makes it hot; true when that changed.
    bool HoverAt(TPoint point);
    // Moves the hot row by |delta|, staying within the list; from no hot row
    // Down starts at the first and Up at the last.
    void MoveHot(int delta);

    enum class Action { None, Handled, Choose, Cancel };
    // Up and Down move the hot row, Return chooses it, Escape cancels.
    Action OnKey(UIKey key);
    // A release over a row chooses it.
    Action OnButtonUp(TPoint point);

    void Paint(ICanvas& canvas, const CWindowManagerUI& manager) const;

private:
    CComboUI* combo_;
    int hot_ = -1;
};

}  // namespace SkinUI
