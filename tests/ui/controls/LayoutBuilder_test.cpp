// The builder over real markup: the class table, the callback for unknown
// elements, build order, resources, Include and failures.
#include "ui/controls/LayoutBuilder.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "support/FakeSkinFiles.h"
#include "support/RecordingCanvas.h"
#include "ui/controls/Container.h"
#include "ui/controls/ControlFactory.h"
#include "ui/controls/Label.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::CControlUI;
using SkinUI::CLayoutBuilder;
using SkinUI::CWindowManagerUI;

// A container that notes how many children it had when each attribute
// arrived: the builder must add children before applying attributes.
class CProbeUI : public SkinUI::CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"ProbeUI"; }
    void SetAttribute(std::wstring_view name, const wchar_t* value) override {
        seen.push_back(std::wstring(name) + L"=" + value + L"@" + std::to_wstring(GetCount()) +
                       (GetParent() != nullptr ? L"+parent" : L"") +
                       (GetManager() != nullptr ? L"+manager" : L""));
        CContainerUI::SetAttribute(name, value);
    }
    std::vector<std::wstring> seen;
};

class Callback : public SkinUI::IDialogBuilderCallback {
public:
    std::unique_ptr<CControlUI> CreateControl(const wchar_t* element) override {
        asked.push_back(element);
        if (std::wstring(element) == L"Probe") return std::make_unique<CProbeUI>();
        return nullptr;
    }
    std::vector<std::wstring> asked;
};

TEST(LayoutBuilder, EveryElementNameInAnyCaseCreatesItsClass) {
    for (std::wstring_view element : SkinUI::KnownControlElements()) {
        std::wstring lower(element);
        std::wstring upper(element);
        for (auto& c : lower) c = static_cast<wchar_t>(towlower(static_cast<wint_t>(c)));
        for (auto& c : upper) c = static_cast<wchar_t>(towupper(static_cast<wint_t>(c)));
        for (const std::wstring& name : {std::wstring(element), lower, upper}) {
            CLayoutBuilder builder;
            auto root =
                builder.Create(L"<Window><" + name + L" /></Window>", L"", nullptr, nullptr);
            ASSERT_NE(root, nullptr) << std::string(name.begin(), name.end());
            EXPECT_EQ(root->GetClass(), std::wstring(element) + L"UI");
        }
    }
}

TEST(LayoutBuilder, UnknownElementsGoToTheCallbackOrAreSkippedWithTheirSubtree) {
    Callback callback;
    CLayoutBuilder builder;
    auto root = builder.Create(
        L"<Window><VerticalLayout name=\"root\">"
        L"<Mystery name=\"m\"><Button name=\"hidden\"/><Other/></Mystery>"
        L"<Probe name=\"p\"><Label name=\"l\"/></Probe>"
        L"<Button name=\"b\"/></VerticalLayout></Window>",
        L"", &callback, nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(callback.asked, (std::vector<std::wstring>{L"Mystery", L"Probe"}));
    auto* container = root->GetContainer();
    ASSERT_EQ(container->GetCount(), 2);
    EXPECT_EQ(container->GetItemAt(0)->GetName(), L"p");
    EXPECT_EQ(container->GetItemAt(1)->GetName(), L"b");
    EXPECT_EQ(container->GetItemAt(0)->GetContainer()->GetItemAt(0)->GetName(), L"l");
}

TEST(LayoutBuilder, ChildrenFirstThenDefaultsThenOwnAttributesInOrder) {
    Callback callback;
    CWindowManagerUI manager;
    CLayoutBuilder builder;
    auto root = builder.Create(
        L"<Window><Default name=\"probe\" value=\"width=&quot;5&quot; text=&quot;d&quot;\"/>"
        L"<Default name=\"Button\" value=\"width=&quot;9&quot; height=&quot;3&quot;\"/>"
        L"<VerticalLayout><Probe width=\"7\" name=\"p\"><Button/><Button width=\"4\" "
        L"pos=\"0,0,10,10\"/><Button pos=\"0,0,10,10\" width=\"4\"/></Probe>"
        L"</VerticalLayout></Window>",
        L"", &callback, &manager);
    ASSERT_NE(root, nullptr);
    auto* probe = static_cast<CProbeUI*>(root->GetContainer()->GetItemAt(0));
    EXPECT_EQ(probe->seen,
              (std::vector<std::wstring>{L"width=5@3+parent+manager", L"text=d@3+parent+manager",
                                         L"width=7@3+parent+manager", L"name=p@3+parent+manager"}));
    EXPECT_EQ(probe->GetFixedWidth(), 7);
    EXPECT_EQ(probe->GetText(), L"d");
    EXPECT_EQ(probe->GetItemAt(0)->GetFixedWidth(), 9);  // the default alone
    EXPECT_EQ(probe->GetItemAt(0)->GetFixedHeight(), 3);
    EXPECT_EQ(probe->GetItemAt(1)->GetFixedWidth(), 10);  // pos came last
    EXPECT_EQ(probe->GetItemAt(2)->GetFixedWidth(), 4);   // width came last
}

TEST(LayoutBuilder, AControlInsideANonContainerEndsTheBuild) {
    CLayoutBuilder builder;
    EXPECT_EQ(builder.Create(L"<Window><VerticalLayout><Button><Label/></Button>"
                             L"</VerticalLayout></Window>",
                             L"", nullptr, nullptr),
              nullptr);
    EXPECT_NE(builder.GetLastError().find(L"Label"), std::wstring::npos);

    // Built into a live parent, a failure leaves the parent as it was.
    CWindowManagerUI manager;
    auto parent = std::make_unique<SkinUI::CVerticalLayoutUI>();
    auto* raw = parent.get();
    manager.AttachDialog(std::move(parent));
    CLayoutBuilder into;
    EXPECT_EQ(into.Create(L"<Window><Button name=\"ok\"/><Button><Label/></Button></Window>", L"",
                          nullptr, &manager, raw),
              nullptr);
    EXPECT_EQ(raw->GetCount(), 0);
    EXPECT_EQ(manager.FindControl(std::wstring(L"ok")), nullptr);

    CLayoutBuilder good;
    CControlUI* added = good.Create(L"<Window><Button name=\"ok\"/><Label name=\"l\"/></Window>",
                                    L"", nullptr, &manager, raw);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetName(), L"ok");
    EXPECT_EQ(raw->GetCount(), 2);
    EXPECT_EQ(manager.FindControl(std::wstring(L"l")), raw->GetItemAt(1));
}

TEST(LayoutBuilder, BadMarkupAndMissingFilesFailWithTheReason) {
    CLayoutBuilder builder;
    EXPECT_EQ(builder.Create(L"<Window><Button name='x'/></Window>", L"", nullptr, nullptr),
              nullptr);
    EXPECT_NE(builder.GetLastError().find(L"Expected attribute value"), std::wstring::npos);

    TestSupport::FakeSkinFiles files;
    CLayoutBuilder fromFiles(&files);
    EXPECT_EQ(fromFiles.Create(L"absent.xml", L"", nullptr, nullptr), nullptr);
    EXPECT_NE(fromFiles.GetLastError().find(L"absent.xml"), std::wstring::npos);

    // A layout without controls builds nothing rather than an empty tree.
    EXPECT_EQ(builder.Create(L"<Window size=\"10,10\"></Window>", L"", nullptr, nullptr), nullptr);
}

TEST(LayoutBuilder, ResourceElementsRegisterWithTheManager) {
    TestSupport::FakeImageLoader images;
    images.images[L"pre.png"] = {4, 4, 0xFF00FF00};
    CWindowManagerUI manager;
    manager.SetImageLoader(&images);
    CLayoutBuilder builder;
    auto root = builder.Create(
        L"<Window size=\"300,200\" caption=\"0,0,0,30\" alpha=\"200\">"
        L"<Font id=\"1\" name=\"Face One\" size=\"14\" bold=\"true\" default=\"true\"/>"
        L"<Font name=\"No Id\" size=\"30\"/>"
        L"<Font id=\"2\" size=\"30\"/>"
        L"<Image name=\"pre.png\" mask=\"#ffff00ff\"/>"
        L"<MultiLanguage id=\"3\" value=\"hello\"/>"
        L"<Label/></Window>",
        L"", nullptr, &manager);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(manager.GetFont(1).name, L"Face One");
    EXPECT_EQ(manager.GetFont(1).size, 14);
    EXPECT_TRUE(manager.GetFont(1).bold);
    EXPECT_EQ(manager.GetDefaultFont().name, L"Face One");
    EXPECT_EQ(manager.GetFont(2).name, L"Face One");  // not registered: the default
    EXPECT_EQ(images.loads[L"pre.png"], 1);
    EXPECT_EQ(images.masks[L"pre.png"], 0xFFFF00FFu);
    ASSERT_NE(manager.GetMultiLanguageString(3), nullptr);
    EXPECT_EQ(*manager.GetMultiLanguageString(3), L"hello");
    EXPECT_EQ(manager.GetWindowAttributes().initSize, (SkinUI::TSize{300, 200}));
    EXPECT_EQ(manager.GetWindowAttributes().caption, (SkinUI::TRect{0, 0, 0, 30}));
    EXPECT_EQ(manager.GetWindowAttributes().opacity, 200);
    // The pre-loaded image comes from the cache from now on.
    manager.GetImage(L"pre.png");
    EXPECT_EQ(images.loads[L"pre.png"], 1);
}

TEST(LayoutBuilder, IncludeBuildsTheNamedLayoutCountTimesAndStopsSelfInclusion) {
    TestSupport::FakeSkinFiles files;
    files.files[L"row.xml"] = "<Window><Button name=\"b\"/></Window>";
    files.files[L"loop.xml"] = "<Window><Include source=\"loop.xml\"/></Window>";
    CLayoutBuilder builder(&files);
    auto root = builder.Create(
        L"<Window><VerticalLayout><Include source=\"row.xml\" count=\"3\"/><Label/>"
        L"</VerticalLayout></Window>",
        L"", nullptr, nullptr);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->GetContainer()->GetCount(), 4);
    EXPECT_EQ(root->GetContainer()->GetItemAt(2)->GetClass(), L"ButtonUI");
    EXPECT_EQ(root->GetContainer()->GetItemAt(3)->GetClass(), L"LabelUI");

    CLayoutBuilder looping(&files);
    EXPECT_EQ(looping.Create(L"<Window><VerticalLayout><Include source=\"loop.xml\"/>"
                             L"</VerticalLayout></Window>",
                             L"", nullptr, nullptr),
              nullptr);
    EXPECT_LE(files.reads[L"loop.xml"], 17);
}

TEST(LayoutBuilder, EntitiesAndBothQuoteFormsOfImageAttributes) {
    TestSupport::FakeImageLoader images;
    images.images[L"a.png"] = {40, 40, 0xFF0000FF};
    CWindowManagerUI manager;
    manager.SetImageLoader(&images);
    CLayoutBuilder builder;
    auto root = builder.Create(
        L"<Window size=\"100,100\"><Container>"
        L"<Control float=\"true\" pos=\"0,0,10,10\" "
        L"bkimage=\"file=&apos;a.png&apos; source=&apos;0,0,5,5&apos;\"/>"
        L"<Control float=\"true\" pos=\"20,0,30,10\" bkimage=\"file='a.png' source='5,5,9,9'\"/>"
        L"</Container></Window>",
        L"", nullptr, &manager);
    ASSERT_NE(root, nullptr);
    manager.AttachDialog(std::move(root));
    TestSupport::RecordingCanvas canvas;
    manager.Paint(canvas, {0, 0, 100, 100});
    const auto drawn = canvas.Of(TestSupport::TDrawCall::kImage);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].source, (SkinUI::TRect{0, 0, 5, 5}));
    EXPECT_EQ(drawn[1].source, (SkinUI::TRect{5, 5, 9, 9}));
    EXPECT_EQ(images.loads[L"a.png"], 1);  // one load per window for both
}

}  // namespace
