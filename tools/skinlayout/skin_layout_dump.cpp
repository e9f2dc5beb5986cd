// Builds one layout from a skin folder with the framework's own builder,
// lays it out at the window's size and prints every drawing call of its
// first paint, one per line, for render_layout.py to turn into a picture.
//
//   skin_layout_dump SKINDIR LAYOUT [name:state ...]
//
// States: hot, pushed, selected, hidden, shown, disabled, value=N (a
// progress bar), text=T, item=T (a combo item, selected).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/controls/Progress.h"
#include "ui/skin/SkinImage.h"
#include "ui/skin/SkinMarkup.h"
#include "ui/window/WindowManager.h"

namespace {

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t w : text) {
        const auto c = static_cast<uint32_t>(w);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring Widen(const std::string& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<wchar_t>(c);
            i += 1;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) {
            out += static_cast<wchar_t>(((c & 0x1F) << 6) | (text[i + 1] & 0x3F));
            i += 2;
        } else if (i + 2 < text.size()) {
            out += static_cast<wchar_t>(((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) |
                                        (text[i + 2] & 0x3F));
            i += 3;
        } else {
            break;
        }
    }
    return out;
}

class FolderSource : public SkinUI::ISkinFileSource {
public:
    explicit FolderSource(std::string folder) : folder_(std::move(folder)) {}
    bool ReadSkinFile(const std::wstring& name, std::vector<uint8_t>& bytes,
                      std::wstring& error) override {
        std::ifstream in(folder_ + "/" + Narrow(name), std::ios::binary);
        if (!in) {
            error = L"Error opening file";
            return false;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return true;
    }

private:
    std::string folder_;
};

// Decodes for real, and remembers which pixel buffer is which file so that
// the canvas can name the image it is handed.
class NamingLoader : public SkinUI::ISkinImageLoader {
public:
    explicit NamingLoader(SkinUI::ISkinFileSource& source) : source_(source) {}
    bool LoadImage(const std::wstring& file, const std::wstring&, uint32_t mask,
                   SkinUI::TImageData& out) override {
        SkinUI::TImageInfo info;
        if (!SkinUI::LoadSkinImage(file, mask, source_, info)) return false;
        out.width = info.width;
        out.height = info.height;
        out.pixels = std::move(info.pixels);
        out.hasAlpha = info.hasAlpha;
        names[out.pixels.data()] = {file, mask};
        return true;
    }
    std::map<const void*, std::pair<std::wstring, uint32_t>> names;

private:
    SkinUI::ISkinFileSource& source_;
};

class PrintingCanvas : public SkinUI::ICanvas {
public:
    explicit PrintingCanvas(NamingLoader& loader) : loader_(loader) {}
    bool quiet = false;
    void FillRect(const SkinUI::TRect& r, uint32_t color) override {
        if (quiet) return;
        if (quiet) return;
        std::printf("fill\t%s\t%08X\n", Rect(r).c_str(), color);
    }
    void DrawImage(const SkinUI::TImageData& image, const SkinUI::TImageDraw& d) override {
        if (quiet) return;
        const auto it = loader_.names.find(image.pixels.data());
        const std::string name = it != loader_.names.end() ? Narrow(it->second.first) : "?";
        const uint32_t mask = it != loader_.names.end() ? it->second.second : 0;
        std::printf("image\t%s\t%s\t%s\t%s\t%d\t%08X\t%s\n", name.c_str(), Rect(d.dest).c_str(),
                    Rect(d.source).c_str(), Rect(d.corner).c_str(), d.fade, mask,
                    Rect(clip_.back()).c_str());
    }
    void DrawText(const std::wstring& text, const SkinUI::TRect& r, const SkinUI::TFontInfo& font,
                  uint32_t color, unsigned style) override {
        if (quiet) return;
        std::printf("text\t%s\t%08X\t%u\t%d\t%s\n", Rect(r).c_str(), color, style, font.size,
                    Narrow(text).c_str());
    }
    void DrawBorder(const SkinUI::TRect& r, int size, uint32_t color) override {
        if (quiet) return;
        std::printf("border\t%s\t%d\t%08X\n", Rect(r).c_str(), size, color);
    }
    void DrawRoundBorder(const SkinUI::TRect& r, int size, int cx, int cy,
                         uint32_t color) override {
        if (quiet) return;
        std::printf("roundborder\t%s\t%d\t%08X\t%d\t%d\n", Rect(r).c_str(), size, color, cx, cy);
    }
    void PushClip(const SkinUI::TRect& r) override {
        SkinUI::TRect clipped;
        SkinUI::IntersectRect(clip_.back(), r, clipped);
        clip_.push_back(clipped);
    }
    void PopClip() override {
        if (clip_.size() > 1) clip_.pop_back();
    }

private:
    static std::string Rect(const SkinUI::TRect& r) {
        char text[80];
        std::snprintf(text, sizeof text, "%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
        return text;
    }
    NamingLoader& loader_;
    std::vector<SkinUI::TRect> clip_{SkinUI::TRect{-100000, -100000, 100000, 100000}};
};

bool ApplyState(SkinUI::CWindowManagerUI& manager, const std::string& request) {
    const size_t colon = request.find(':');
    if (colon == std::string::npos) return false;
    SkinUI::CControlUI* control = manager.FindControl(Widen(request.substr(0, colon)));
    if (control == nullptr) return false;
    const std::string state = request.substr(colon + 1);
    SkinUI::TEventUI event;
    event.point = {control->GetPos().left + 1, control->GetPos().top + 1};
    if (state == "hot" || state == "pushed") {
        event.type = SkinUI::UIEvent::MouseEnter;
        control->DoEvent(event);
        if (state == "pushed") {
            event.type = SkinUI::UIEvent::ButtonDown;
            control->DoEvent(event);
        }
    } else if (state == "selected") {
        auto* option = dynamic_cast<SkinUI::COptionUI*>(control);
        if (option == nullptr) return false;
        option->SetSelected(true);
    } else if (state == "hidden" || state == "shown") {
        control->SetVisible(state == "shown");
    } else if (state == "disabled") {
        control->SetEnabled(false);
    } else if (state.rfind("value=", 0) == 0) {
        auto* progress = dynamic_cast<SkinUI::CProgressUI*>(control);
        if (progress == nullptr) return false;
        progress->SetValue(std::stoi(state.substr(6)));
    } else if (state.rfind("text=", 0) == 0) {
        control->SetText(Widen(state.substr(5)));
    } else if (state.rfind("item=", 0) == 0) {
        auto* combo = dynamic_cast<SkinUI::CComboUI*>(control);
        if (combo == nullptr) return false;
        combo->SelectItem(combo->AddItem(Widen(state.substr(5))), false);
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: skin_layout_dump SKINDIR LAYOUT [name:state ...]\n");
        return 2;
    }
    FolderSource source(argv[1]);
    NamingLoader loader(source);
    SkinUI::CWindowManagerUI manager;
    manager.SetImageLoader(&loader);
    SkinUI::CLayoutBuilder builder(&source);
    auto root = builder.Create(Widen(argv[2]), L"", nullptr, &manager);
    if (!root) {
        std::fprintf(stderr, "%s: %s\n", argv[2], Narrow(builder.GetLastError()).c_str());
        return 1;
    }
    manager.AttachDialog(std::move(root));
    const SkinUI::TSize size = manager.GetClientSize();
    PrintingCanvas canvas(loader);
    // A first, silent paint lays the tree out; states apply to the laid-out
    // tree (a press needs the button's place).
    canvas.quiet = true;
    manager.Paint(canvas, SkinUI::TRect{0, 0, size.cx, size.cy});
    canvas.quiet = false;
    for (int i = 3; i < argc; ++i) {
        if (!ApplyState(manager, argv[i])) {
            std::fprintf(stderr, "cannot apply %s\n", argv[i]);
            return 1;
        }
    }
    std::printf("size\t%d\t%d\n", size.cx, size.cy);
    manager.Paint(canvas, SkinUI::TRect{0, 0, size.cx, size.cy});
    return 0;
}
