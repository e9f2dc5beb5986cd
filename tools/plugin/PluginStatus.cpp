#include "tools/plugin/PluginStatus.h"

#include <cmath>

namespace plugin {

PluginStatus StatusFor(bool engineLoaded, float progress) {
    PluginStatus status;
    if (!engineLoaded) {
        status.caption = L"未找到游戏引擎 plume3d.lod";
        return status;
    }
    if (std::isnan(progress) || progress >= 1) {
        status.caption = L"进入游戏世界";
        status.showBar = true;
        status.share = 1;
        status.percent = 100;
        status.ready = true;
        return status;
    }
    if (progress <= 0) {
        status.caption = L"正在启动游戏引擎…";
        status.showBar = true;
        return status;
    }
    status.showBar = true;
    status.share = progress;
    // Never print 100 before the engine says it is done.
    status.percent = static_cast<int>(progress * 100);
    if (status.percent > 99) status.percent = 99;
    status.caption = L"正在加载游戏世界 " + std::to_wstring(status.percent) + L"%";
    return status;
}

}  // namespace plugin
