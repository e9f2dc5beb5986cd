// What the ActiveX host control decides, with a host that only records:
// when the object is made and how often, what the window hears and in
// which order, where the host window goes and when it shows, and when the
// object is let go.
#include "ui/controls/ActiveX.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/controls/Container.h"
#include "ui/controls/LayoutBuilder.h"
#include "ui/window/WindowManager.h"

namespace {

using SkinUI::CActiveXUI;
using SkinUI::CControlUI;
using SkinUI::TRect;

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class FakeHost : public SkinUI::IActiveXHostUI {
public:
    FakeHost(std::vector<std::string>& log, bool succeed) : log_(log), succeed_(succeed) {}
    ~FakeHost() override { log_.push_back("host gone"); }
    bool Create(const std::wstring& clsid, const std::wstring& moduleName) override {
        log_.push_back("create " + Narrow(clsid) +
                       (moduleName.empty() ? "" : " from " + Narrow(moduleName)));
        return succeed_;
    }
    void Place(const TRect& r, bool shown) override {
        log_.push_back("place " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                       std::to_string(r.right) + "," + std::to_string(r.bottom) +
                       (shown ? " shown" : " hidden"));
    }
    void Close() override { log_.push_back("close"); }

private:
    std::vector<std::string>& log_;
    bool succeed_;
};

class RecordingActiveX : public CActiveXUI {
public:
    RecordingActiveX(std::vector<std::string>& log, bool succeed) : log_(log), succeed_(succeed) {}
    ~RecordingActiveX() override { ReleaseControl(); }

protected:
    std::unique_ptr<SkinUI::IActiveXHostUI> MakeHost() override {
        log_.push_back("make host");
        return std::make_unique<FakeHost>(log_, succeed_);
    }
    void OnControlCreated() override { log_.push_back("created"); }
    void OnControlReleasing() override { log_.push_back("releasing"); }

private:
    std::vector<std::string>& log_;
    bool succeed_;
};

// A window's manager and the notifications it delivers, beside the log.
class ActiveX : public ::testing::Test,
                public SkinUI::INotifyUI,
                public SkinUI::IDialogBuilderCallback {
protected:
    void Notify(SkinUI::TControlNotify& msg) override {
        log.push_back("notify " + Narrow(msg.type) + " " + Narrow(msg.sender->GetName()));
    }
    std::unique_ptr<CControlUI> CreateControl(const wchar_t* element) override {
        if (std::wstring(element) != L"TestHost") return nullptr;
        return std::make_unique<RecordingActiveX>(log, succeed);
    }
    std::unique_ptr<CControlUI> Build(const std::wstring& layout) {
        manager = std::make_unique<SkinUI::CWindowManagerUI>();
        manager->AddNotifier(this);
        SkinUI::CLayoutBuilder builder;
        return builder.Create(layout, L"", this, manager.get());
    }
    template <class T = CActiveXUI>
    T* Find(const wchar_t* name) {
        return dynamic_cast<T*>(manager->FindControl(std::wstring(name)));
    }

    std::vector<std::string> log;
    bool succeed = true;
    std::unique_ptr<SkinUI::CWindowManagerUI> manager;
};

TEST_F(ActiveX, ImmediateCreationHappensOnceWhileTheLayoutIsBuilt) {
    auto root = Build(
        L"<Window size=\"400,300\"><Container>"
        L"<TestHost name=\"now\" float=\"true\" pos=\"10,20,110,80\" clsid=\"{1}\" "
        L"modulename=\"x.dll\" delaycreate=\"false\"/>"
        L"<TestHost name=\"later\" clsid=\"{2}\"/></Container></Window>");
    ASSERT_NE(root, nullptr);
    // The window hears of the object before the control starts using it;
    // the host window stays hidden until the layout gives it a place.
    EXPECT_EQ(log, (std::vector<std::string>{"make host", "create {1} from x.dll",
                                             "notify showactivex now", "created",
                                             "place 0,0,0,0 shown"}));
    manager->AttachDialog(std::move(root));
    auto* now = Find(L"now");
    auto* later = Find(L"later");
    ASSERT_NE(now, nullptr);
    ASSERT_NE(later, nullptr);
    EXPECT_TRUE(now->IsCreated());
    EXPECT_FALSE(later->IsCreationRequested());

    log.clear();
    EXPECT_TRUE(now->CreateControl());
    EXPECT_TRUE(later->CreateControl());
    EXPECT_EQ(log, (std::vector<std::string>{"make host", "create {2}", "notify showactivex later",
                                             "created", "place 0,0,0,0 shown"}));
}

TEST_F(ActiveX, TheHostWindowFollowsTheControlsPlaceAndVisibility) {
    auto built = Build(
        L"<Window size=\"400,300\"><VerticalLayout><Container name=\"box\">"
        L"<TestHost name=\"x\" float=\"true\" pos=\"10,20,110,80\" delaycreate=\"false\"/>"
        L"</Container></VerticalLayout></Window>");
    ASSERT_NE(built, nullptr);
    manager->AttachDialog(std::move(built));
    log.clear();
    manager->SetClientSize({400, 300});
    manager->GetRoot()->SetPos({0, 0, 400, 300});
    EXPECT_EQ(log, (std::vector<std::string>{"place 10,20,110,80 shown"}));

    log.clear();
    Find(L"x")->SetVisible(false);
    Find(L"x")->SetVisible(true);
    // A container hidden above the control hides its window as well.
    CControlUI* box = manager->FindControl(std::wstring(L"box"));
    box->SetVisible(false);
    Find(L"x")->SetVisible(false);
    box->SetVisible(true);
    Find(L"x")->SetVisible(true);
    EXPECT_EQ(log,
              (std::vector<std::string>{"place 10,20,110,80 hidden", "place 10,20,110,80 shown",
                                        "place 10,20,110,80 hidden", "place 10,20,110,80 hidden",
                                        "place 10,20,110,80 hidden", "place 10,20,110,80 shown"}));
}

TEST_F(ActiveX, AnObjectThatCannotBeHadIsNotAnnouncedNorPlaced) {
    succeed = false;
    auto built = Build(
        L"<Window><Container><TestHost name=\"x\" clsid=\"{3}\" "
        L"delaycreate=\"false\"/></Container></Window>");
    ASSERT_NE(built, nullptr);
    manager->AttachDialog(std::move(built));
    manager->GetRoot()->SetPos({0, 0, 100, 100});
    EXPECT_EQ(log, (std::vector<std::string>{"make host", "create {3}"}));
    EXPECT_FALSE(Find(L"x")->IsCreated());
    EXPECT_FALSE(Find(L"x")->CreateControl()) << "tried once";
}

TEST_F(ActiveX, LeavingTheWindowLetsTheObjectGo) {
    auto built = Build(
        L"<Window><Container><TestHost name=\"x\" delaycreate=\"false\"/>"
        L"<TestHost name=\"y\" delaycreate=\"false\"/></Container></Window>");
    ASSERT_NE(built, nullptr);
    manager->AttachDialog(std::move(built));
    log.clear();
    auto* container = manager->GetRoot()->GetContainer();
    container->Remove(Find(L"y"));
    EXPECT_EQ(log, (std::vector<std::string>{"releasing", "close", "host gone"}));

    log.clear();
    manager.reset();
    EXPECT_EQ(log, (std::vector<std::string>{"releasing", "close", "host gone"}));

    // Without a window there is nothing to host in.
    log.clear();
    RecordingActiveX orphan(log, true);
    EXPECT_FALSE(orphan.CreateControl());
    EXPECT_TRUE(log.empty());
}

}  // namespace
