#pragma once

namespace ferrow {

// Command identifiers of the frame's menus, the tree pane's close button and the device
// list's popup menu; the frame dispatches on them.
enum CommandId : int {
    kCommandOk = 1,                // the About box's OK button and Enter
    kCommandCancel = 2,            // the About box's Esc and close box
    kCommandTreePane = 32774,      // View > Tree Pane
    kCommandRefresh = 32775,       // the device list's popup menu, and F5
    kCommandSearchAll = 32776,     // the device list's popup menu: every address in turn
    kCommandKeepSearching = 32777, // the popup menu and View > Keep Searching: on or off
    kCommandAbout = 57664,         // Help > About Ferrow...
    kCommandPaneClose = 57682,     // the tree pane's close button
    kCommandStatusBar = 59393,     // View > Status Bar
};

} // namespace ferrow
