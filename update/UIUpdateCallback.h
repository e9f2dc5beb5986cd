// How the self-update window tells its owner that it has nothing more to do
// and the launcher keeps running. Called on the UI thread, at most once per
// UIUpdate::Start.
#pragma once

class UIUpdateCallback {
public:
    // true: the launcher is current (or was updated without a restart);
    // false: the check or the update failed.
    virtual void OnUpdateEnd(bool success) = 0;

protected:
    // The window never owns its callback.
    ~UIUpdateCallback() = default;
};
