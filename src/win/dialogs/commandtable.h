#pragma once
// A dialog's commands as a table of control ids and handlers instead of a switch: each entry runs
// with the dialog and its state record.

#include <windows.h>

#include <cstddef>

namespace rekal::win {

template <class State> struct DialogCommand {
    int id;
    void (*run)(HWND dialog, State& state);
};

// Runs the table's handler of command `id`; false when the table has none.
template <class State, std::size_t N>
bool runDialogCommand(const DialogCommand<State> (&table)[N], HWND dialog, State& state, int id) {
    for (const DialogCommand<State>& command : table) {
        if (command.id == id) {
            command.run(dialog, state);
            return true;
        }
    }
    return false;
}

} // namespace rekal::win
