#include "ui/WindowManager.h"

namespace SkinUI {

namespace {
void* g_instance = nullptr;
std::wstring g_resourcePath;
}  // namespace

void CWindowManagerUI::SetInstance(void* instance) {
    g_instance = instance;
}

void* CWindowManagerUI::GetInstance() {
    return g_instance;
}

void CWindowManagerUI::SetResourcePath(const std::wstring& path) {
    g_resourcePath = path;
    if (!g_resourcePath.empty() && g_resourcePath.back() != L'\\' &&
        g_resourcePath.back() != L'/') {
        g_resourcePath += L'\\';
    }
}

const std::wstring& CWindowManagerUI::GetResourcePath() {
    return g_resourcePath;
}

void CWindowManagerUI::Term() {}

}  // namespace SkinUI
