// Command routing: numbered commands (menu items, tool buttons, accelerators) are offered in turn to a
// chain of targets (active view, its document, the child frame, the main frame, the application).
// The first target that answers true handles the command; the rest never see it.
#pragma once

#include <optional>
#include <string>

namespace tarnwell {

// What an update call may set for one command. Targets start from the defaults below.
struct CommandState {
    bool enabled = true;
    std::optional<bool> checked;      // set: the action shows a check mark (true) or none (false)
    std::optional<std::string> text;  // set: the menu text changes (UTF-8, "&" marks the mnemonic)
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Answers true when this target owns the command and has filled `state`.
    virtual bool UpdateCommand(int id, CommandState& state) {
        (void)id;
        (void)state;
        return false;
    }
    // Answers true when this target owns the command and has carried it out.
    virtual bool ExecuteCommand(int id) {
        (void)id;
        return false;
    }
};

}  // namespace tarnwell
