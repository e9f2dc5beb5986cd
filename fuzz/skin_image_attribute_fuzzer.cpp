// Image attributes come from layouts: any text must parse, and drawing the
// result must stay inside the image whatever rectangles it names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "fuzz/FuzzCanvas.h"
#include "ui/controls/Control.h"
#include "ui/controls/ImageDrawInfo.h"
#include "ui/window/WindowManager.h"

namespace {

class SolidImages : public SkinUI::ISkinImageLoader {
public:
    bool LoadImage(const std::wstring& file, const std::wstring&, uint32_t,
                   SkinUI::TImageData& out) override {
        if (file.size() % 3 == 0) return false;  // some names fail to load
        out.width = static_cast<int>(file.size() % 50) + 1;
        out.height = static_cast<int>(file.size() % 7) + 1;
        out.pixels.assign(static_cast<size_t>(out.width * out.height), 0xFF000000u);
        return true;
    }
};

class CheckingCanvas : public FuzzCanvas {
public:
    void DrawImage(const SkinUI::TImageData& image, const SkinUI::TImageDraw& draw) override {
        const auto& s = draw.source;
        if (s.left < 0 || s.top < 0 || s.right > image.width || s.bottom > image.height ||
            s.IsEmpty() || draw.dest.IsEmpty()) {
            std::abort();
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (c != 0) text += c;
    }

    SkinUI::TImageDrawInfo info;
    info.SetAttribute(text);
    info.Parse();
    if (text.find(L"='") == std::wstring::npos && info.file != text) std::abort();

    int numbers[4];
    SkinUI::ParseNumberList(text.c_str(), numbers, 4);
    SkinUI::ParseColor(text.c_str());
    SkinUI::ParseHex(text.c_str());

    SolidImages images;
    SkinUI::CWindowManagerUI manager;
    manager.SetImageLoader(&images);
    auto control = std::make_unique<SkinUI::CControlUI>();
    control->SetBkImage(text);
    manager.AttachDialog(std::move(control));
    manager.SetClientSize({64, 48});
    CheckingCanvas canvas;
    manager.Paint(canvas, SkinUI::TRect{0, 0, 64, 48});
    if (canvas.depth != 0) std::abort();
    return 0;
}
