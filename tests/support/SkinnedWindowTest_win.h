// The base of tests that open the launcher's skinned windows: OLE for the
// suite (the windows host the browser), the launcher's skin package from
// the test executable's resources, and the launcher's log lines kept for
// each test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/RecordingAppender.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowManager.h"

namespace testsupport {

class SkinnedWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        SkinUI::SetModuleInstance(GetModuleHandleW(nullptr));
        ASSERT_TRUE(SkinUI::CWindowManagerUI::LoadSkinPackageFromResource(129));
    }
    static void TearDownTestSuite() { OleUninitialize(); }

    // From here on every log line of the test is kept in |log|.
    void RecordLog() {
        QLogger::Shutdown();
        QLogger::AddAppender(std::make_unique<RecordingAppender>(&log));
    }
    std::string LogText() const {
        std::string text;
        for (const auto& line : log) text += line + "\n";
        return text;
    }
    bool Logged(const std::string& text) const {
        return std::any_of(log.begin(), log.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    }

    std::vector<std::string> log;
};

}  // namespace testsupport
