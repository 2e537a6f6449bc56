#pragma once
// Which module an action of the advanced or wireless IO page is meant for:
// the local module while the left tab set shows "本地设备", the row selected
// in the network list while it shows "网络设备".
#include <optional>

struct OperationTarget {
    bool remote = false;
    int index = -1;  // search entry index (the network list's row) when remote
};

// Nothing when the network tab is active and no row is selected; the caller
// then tells the user to pick a module ("请选择设备").
std::optional<OperationTarget> CurrentOperationTarget();
