#pragma once
// Which module an action of the advanced or wireless IO page is meant for:
// the local module while the left tab set shows "本地设备", the row selected
// in the network list while it shows "网络设备". The main window knows
// which tab is shown and hands each of the two pages the answer; the pages
// ask it when an action starts.
#include <functional>
#include <optional>

struct OperationTarget {
    bool remote = false;
    int index = -1;  // search entry index (the network list's row) when remote
};

// The target while the network tab is shown (or not) with `selectedRow`
// selected (-1: none). Nothing when the network tab is shown and no row is
// selected; the caller then tells the user to pick a module ("请选择设备").
std::optional<OperationTarget> OperationTargetFor(bool networkTabShown, int selectedRow);

class OperationTargetSource {
public:
    using Answer = std::function<std::optional<OperationTarget>()>;

    // Set by the main window; an empty answer when it goes.
    void Set(Answer answer) { answer_ = std::move(answer); }
    // Without a main window the local module is the target.
    std::optional<OperationTarget> Current() const { return answer_ ? answer_() : OperationTarget{}; }

private:
    Answer answer_;
};
