// A canvas that records what controls draw, and an image loader that
// serves solid images by name and counts its calls. For portable tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ui/paint/Canvas.h"
#include "ui/window/WindowManager.h"

namespace TestSupport {

struct TDrawCall {
    enum Kind { kFill, kImage, kText, kBorder, kRoundBorder } kind;
    SkinUI::TRect rect;    // destination
    SkinUI::TRect source;  // images
    SkinUI::TRect clip;    // the clip in force
    uint32_t color = 0;    // fills, text, borders; an image's first pixel
    std::wstring text;     // text
    std::wstring font;     // text: the font's face
    unsigned style = 0;    // text
    int size = 0;          // borders
};

class RecordingCanvas : public SkinUI::ICanvas {
public:
    explicit RecordingCanvas(SkinUI::TRect bounds = {0, 0, 100000, 100000}) {
        clips_.push_back(bounds);
    }
    void FillRect(const SkinUI::TRect& rect, uint32_t color) override {
        calls.push_back({TDrawCall::kFill, rect, {}, clips_.back(), color});
    }
    void DrawImage(const SkinUI::TImageData& image, const SkinUI::TImageDraw& draw) override {
        TDrawCall call{TDrawCall::kImage, draw.dest, draw.source, clips_.back()};
        call.color = image.pixels.empty() ? 0 : image.pixels[0];
        calls.push_back(call);
    }
    void DrawText(const std::wstring& text, const SkinUI::TRect& rect,
                  const SkinUI::TFontInfo& font, uint32_t color, unsigned style) override {
        TDrawCall call{TDrawCall::kText, rect, {}, clips_.back(), color, text, font.name, style};
        calls.push_back(call);
    }
    void DrawBorder(const SkinUI::TRect& rect, int size, uint32_t color) override {
        TDrawCall call{TDrawCall::kBorder, rect, {}, clips_.back(), color};
        call.size = size;
        calls.push_back(call);
    }
    void DrawRoundBorder(const SkinUI::TRect& rect, int size, int, int, uint32_t color) override {
        TDrawCall call{TDrawCall::kRoundBorder, rect, {}, clips_.back(), color};
        call.size = size;
        calls.push_back(call);
    }
    void PushClip(const SkinUI::TRect& rect) override {
        SkinUI::TRect clipped;
        SkinUI::IntersectRect(clips_.back(), rect, clipped);
        clips_.push_back(clipped);
    }
    void PopClip() override {
        if (clips_.size() > 1) clips_.pop_back();
    }
    size_t ClipDepth() const { return clips_.size(); }

    std::vector<TDrawCall> Of(TDrawCall::Kind kind) const {
        std::vector<TDrawCall> out;
        for (const auto& call : calls) {
            if (call.kind == kind) out.push_back(call);
        }
        return out;
    }

    std::vector<TDrawCall> calls;

private:
    std::vector<SkinUI::TRect> clips_;
};

// Serves every name in |images| as a solid image whose pixels all hold the
// colour given; other names fail.
class FakeImageLoader : public SkinUI::ISkinImageLoader {
public:
    struct TFake {
        int width;
        int height;
        uint32_t color;
    };
    bool LoadImage(const std::wstring& file, const std::wstring&, uint32_t mask,
                   SkinUI::TImageData& out) override {
        ++loads[file];
        masks[file] = mask;
        const auto it = images.find(file);
        if (it == images.end()) return false;
        out.width = it->second.width;
        out.height = it->second.height;
        out.pixels.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height),
                          it->second.color);
        out.hasAlpha = (it->second.color >> 24) != 0xFF;
        return true;
    }
    std::map<std::wstring, TFake> images;
    std::map<std::wstring, int> loads;
    std::map<std::wstring, uint32_t> masks;
};

}  // namespace TestSupport
