#pragma once

#include "messages/MessageIds.h"

#include <utility>

// What the files of DeviceTransfers (its failure handling, the download, the read-back and verify) share.
namespace devicelink::transfers {

inline constexpr unsigned kDownloadTitle = msg::DownloadTitle;
inline constexpr unsigned kReadTitle = msg::ReadDataTitle;
inline constexpr int kBlockNibbles = 32;
inline constexpr int kBlockBytes = 16;

// Clears a flag when the command ends, whichever way it ends.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};

// Calls a hook of ProjectHooks; an empty hook does nothing and gives an empty value.
template <typename Hook, typename... Args>
auto call(const Hook& hook, Args&&... args)
{
    using Result = decltype(hook(std::forward<Args>(args)...));
    if (!hook)
        return Result();
    return hook(std::forward<Args>(args)...);
}

} // namespace devicelink::transfers
