// Page bytes as the test browser gets them from the network: reading must
// hold for any input, every link and frame address must resolve, the body
// must come back out wrapped in its tags, and the layout must place every
// word inside its line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/testbrowser/HtmlPage.h"
#include "tools/testbrowser/PageLayout.h"
#include "tools/testbrowser/PageUrl.h"

namespace {

class ByteMeasure final : public testbrowser::TextMeasure {
public:
    int TextWidth(std::string_view utf8) const override {
        return static_cast<int>(utf8.size()) * 7;
    }
    int LineHeight() const override { return 18; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const testbrowser::HtmlPage page = testbrowser::ParseHtml(bytes);
    const std::string& outer = page.bodyOuterHtml;
    if (outer.rfind("<BODY", 0) != 0 || outer.size() < 13 ||
        outer.compare(outer.size() - 7, 7, "</BODY>") != 0) {
        std::abort();
    }
    const std::string base = "http://www.torvessa.example/testbrowser/dir/page.html?q=1";
    for (const auto& link : page.links) {
        const std::string url = testbrowser::ResolveUrl(base, link.href);
        testbrowser::IsScriptUrl(url);
    }
    for (const auto& block : page.blocks) {
        if (block.kind == testbrowser::PageBlock::Kind::Frame)
            testbrowser::ResolveUrl(base, block.source);
        for (const auto& run : block.runs) {
            if (run.link >= static_cast<int>(page.links.size())) std::abort();
        }
    }
    if (page.refresh) testbrowser::ResolveUrl(base, page.refresh->url);
    testbrowser::ParseMetaRefresh(bytes);
    testbrowser::ResolveUrl(bytes, "../x?y#z");
    const ByteMeasure measure;
    const auto layout = testbrowser::LayOutPage(page, 300, 200, measure, measure);
    for (const auto& text : layout.texts) {
        if (text.box.right < text.box.left || text.box.bottom <= text.box.top) std::abort();
    }
    return 0;
}
