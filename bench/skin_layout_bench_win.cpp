// Cost of opening each launcher window's skin from the embedded package:
// parsing its layout, building its control tree and decoding its images,
// each against the floor it cannot beat in the same run, reading (that is,
// inflating) the same members out of the package.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/controls/Control.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/paint/Canvas.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/skin/SkinMarkup.h"
#include "ui/window/WindowManager.h"

namespace {

constexpr int kRounds = 15;
constexpr const wchar_t* kLayouts[] = {L"main.xml",        L"update.xml", L"reggamedll.xml",
                                       L"loading.xml",     L"game.xml",   L"bosskey.xml",
                                       L"changeserver.xml"};

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Paints nothing but notes which images the tree asked for.
class NullCanvas : public SkinUI::ICanvas {
public:
    void FillRect(const SkinUI::TRect&, uint32_t) override {}
    void DrawImage(const SkinUI::TImageData&, const SkinUI::TImageDraw&) override { ++images; }
    void DrawText(const std::wstring&, const SkinUI::TRect&, const SkinUI::TFontInfo&, uint32_t,
                  unsigned) override {}
    void DrawBorder(const SkinUI::TRect&, int, uint32_t) override {}
    void DrawRoundBorder(const SkinUI::TRect&, int, int, int, uint32_t) override {}
    void PushClip(const SkinUI::TRect&) override {}
    void PopClip() override {}
    int images = 0;
};

// Remembers the file names that the manager's loader is asked for, so that
// the floor can read exactly those members.
class NamingLoader : public SkinUI::ISkinImageLoader {
public:
    explicit NamingLoader(SkinUI::ISkinImageLoader& inner) : inner_(inner) {}
    bool LoadImage(const std::wstring& file, const std::wstring& restype, uint32_t mask,
                   SkinUI::TImageData& out) override {
        names.insert(file);
        return inner_.LoadImage(file, restype, mask, out);
    }
    std::set<std::wstring> names;

private:
    SkinUI::ISkinImageLoader& inner_;
};

// The manager's own loader (package and stb_image), reached through a
// manager that has none set.
class DefaultLoader : public SkinUI::ISkinImageLoader {
public:
    bool LoadImage(const std::wstring& file, const std::wstring&, uint32_t mask,
                   SkinUI::TImageData& out) override {
        SkinUI::CWindowManagerUI manager;
        const SkinUI::TImageData* image = manager.GetImage(file, L"", mask);
        if (image == nullptr) return false;
        out = *image;
        return true;
    }
};

struct Figures {
    double read = 0, parse = 0, build = 0, imageRead = 0, decode = 0;
    int controls = 0, images = 0;
};

int CountControls(SkinUI::CControlUI* control) {
    int count = 1;
    if (SkinUI::IContainerUI* container = control->GetContainer()) {
        for (int i = 0; i < container->GetCount(); ++i) {
            count += CountControls(container->GetItemAt(i));
        }
    }
    return count;
}

bool Measure(const wchar_t* layout, Figures& out) {
    SkinUI::ISkinFileSource& source = SkinUI::CWindowManagerUI::GetSkinFileSource();
    std::vector<double> read, parse, build, imageRead, decode;
    DefaultLoader decoder;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<uint8_t> bytes;
        std::wstring error;
        auto start = std::chrono::steady_clock::now();
        if (!source.ReadSkinFile(layout, bytes, error)) return false;
        read.push_back(Seconds(std::chrono::steady_clock::now() - start));

        start = std::chrono::steady_clock::now();
        SkinUI::CSkinMarkup markup;
        if (!markup.LoadFromFile(layout, source)) return false;
        parse.push_back(Seconds(std::chrono::steady_clock::now() - start));

        SkinUI::CWindowManagerUI manager;
        NamingLoader loader(decoder);
        manager.SetImageLoader(&loader);
        start = std::chrono::steady_clock::now();
        SkinUI::CLayoutBuilder builder(&source);
        auto root = builder.Create(layout, L"", nullptr, &manager);
        build.push_back(Seconds(std::chrono::steady_clock::now() - start));
        if (!root) return false;
        out.controls = CountControls(root.get());

        manager.AttachDialog(std::move(root));
        NullCanvas canvas;
        const SkinUI::TSize size = manager.GetClientSize();
        start = std::chrono::steady_clock::now();
        manager.Paint(canvas, SkinUI::TRect{0, 0, size.cx, size.cy});
        decode.push_back(Seconds(std::chrono::steady_clock::now() - start));
        out.images = static_cast<int>(loader.names.size());

        start = std::chrono::steady_clock::now();
        for (const auto& name : loader.names) {
            if (!source.ReadSkinFile(name, bytes, error)) return false;
        }
        imageRead.push_back(Seconds(std::chrono::steady_clock::now() - start));
    }
    out.read = Median(read);
    out.parse = Median(parse);
    out.build = Median(build);
    out.imageRead = Median(imageRead);
    out.decode = Median(decode);
    return true;
}

}  // namespace

int main() {
    SkinUI::SetModuleInstance(GetModuleHandleW(nullptr));
    if (!SkinUI::CWindowManagerUI::LoadSkinPackageFromResource(129)) {
        std::printf("the skin package resource is missing\n");
        return 1;
    }
    std::printf("%-18s %8s %8s %8s %6s | %8s %10s %6s | %6s %6s\n", "layout", "read us", "parse us",
                "build us", "ctrls", "img rd", "decode us", "imgs", "parse/", "decode/");
    Figures total;
    for (const wchar_t* layout : kLayouts) {
        Figures f;
        if (!Measure(layout, f)) {
            std::printf("%ls: failed to load\n", layout);
            return 1;
        }
        std::printf("%-18ls %8.1f %8.1f %8.1f %6d | %8.1f %10.1f %6d | %6.2f %6.2f\n", layout,
                    f.read * 1e6, f.parse * 1e6, f.build * 1e6, f.controls, f.imageRead * 1e6,
                    f.decode * 1e6, f.images, f.parse / f.read, f.decode / f.imageRead);
        total.read += f.read;
        total.parse += f.parse;
        total.build += f.build;
        total.imageRead += f.imageRead;
        total.decode += f.decode;
        total.controls += f.controls;
        total.images += f.images;
    }
    std::printf("%-18s %8.1f %8.1f %8.1f %6d | %8.1f %10.1f %6d | %6.2f %6.2f\n", "total",
                total.read * 1e6, total.parse * 1e6, total.build * 1e6, total.controls,
                total.imageRead * 1e6, total.decode * 1e6, total.images, total.parse / total.read,
                total.decode / total.imageRead);
    std::printf("floors: read = inflating the layout member; img rd = inflating its images\n");
    std::printf("ratio:  %.3f (parse+build / layout read), %.3f (decode / image read)\n",
                (total.parse + total.build) / total.read, total.decode / total.imageRead);
    return 0;
}
