// Layouts are outside input: any document must build (or fail cleanly),
// lay out and paint without undefined behaviour, whatever its attributes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzCanvas.h"
#include "ui/paint/Canvas.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/skin/SkinMarkup.h"
#include "ui/window/WindowManager.h"

namespace {

class OneFile : public SkinUI::ISkinFileSource {
public:
    OneFile(const uint8_t* data, size_t size) : bytes_(data, data + size) {}
    bool ReadSkinFile(const std::wstring& name, std::vector<uint8_t>& bytes,
                      std::wstring& error) override {
        // Includes and child layouts name files; all of them are this one.
        if (++reads_ > 8) {
            error = L"Error opening file";
            return false;
        }
        (void)name;
        bytes = bytes_;
        return true;
    }

private:
    std::vector<uint8_t> bytes_;
    int reads_ = 0;
};

class AnyImage : public SkinUI::ISkinImageLoader {
public:
    bool LoadImage(const std::wstring& file, const std::wstring&, uint32_t,
                   SkinUI::TImageData& out) override {
        if (file.empty()) return false;
        out.width = 8;
        out.height = 8;
        out.pixels.assign(64, 0x80808080u);
        return true;
    }
};

class NullCanvas : public FuzzCanvas {
public:
    void DrawImage(const SkinUI::TImageData& image, const SkinUI::TImageDraw& draw) override {
        if (draw.source.right > image.width || draw.source.bottom > image.height) std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OneFile files(data, size);
    AnyImage images;
    SkinUI::CWindowManagerUI manager;
    manager.SetImageLoader(&images);
    SkinUI::CLayoutBuilder builder(&files);
    auto root = builder.Create(L"fuzz.xml", L"", nullptr, &manager);
    if (!root) return 0;
    manager.AttachDialog(std::move(root));
    // Sizes from the layout may be absurd; paint a bounded area.
    NullCanvas canvas;
    manager.Paint(canvas, SkinUI::TRect{0, 0, 1024, 768});
    if (canvas.depth != 0) std::abort();
    manager.FindControl(SkinUI::TPoint{10, 10});
    return 0;
}
