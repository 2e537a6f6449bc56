#include "views/operation_target.h"

std::optional<OperationTarget> OperationTargetFor(bool networkTabShown, int selectedRow) {
    if (!networkTabShown) return OperationTarget{};
    // The row's position is the module's search entry index.
    if (selectedRow < 0) return std::nullopt;
    return OperationTarget{true, selectedRow};
}
