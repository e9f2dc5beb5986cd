// A canvas for fuzz targets: draws nothing and counts clip pushes; each
// target checks the image drawings it cares about.
#pragma once

#include <string>

#include "ui/paint/Canvas.h"

class FuzzCanvas : public SkinUI::ICanvas {
public:
    void FillRect(const SkinUI::TRect&, uint32_t) override {}
    void DrawText(const std::wstring&, const SkinUI::TRect&, const SkinUI::TFontInfo&, uint32_t,
                  unsigned) override {}
    void DrawBorder(const SkinUI::TRect&, int, uint32_t) override {}
    void DrawRoundBorder(const SkinUI::TRect&, int, int, int, uint32_t) override {}
    void PushClip(const SkinUI::TRect&) override { ++depth; }
    void PopClip() override { --depth; }

    int depth = 0;
};
