#pragma once

#include <span>
#include <vector>

#include "form/FormOperations.h"

// A rectangle in dialog units of the form's font.
struct DluRect {
    int x;
    int y;
    int width;
    int height;
};

inline constexpr int kNoId = -1;

// One control of the main window form. Frames hold the controls listed
// after them that lie inside their rectangle; nothing moves or resizes.
struct ControlSpec {
    int id;  // kNoId for unnumbered labels and frames
    ControlKind kind;
    const char* label;  // UTF-8, exactly as shown
    DluRect rect;       // for a drop-down list, the height includes the popup
    bool firstOfGroup;
    bool centredCaption;
};

inline constexpr int kFormWidthDlu = 412;
inline constexpr int kFormHeightDlu = 445;

// The whole form, in form order.
std::span<const ControlSpec> MainFormControls();
const ControlSpec* FindControl(int id);

// The form order as the settings exchange sees it.
std::vector<FormEntry> MainFormOrder();

// The numbered controls that a frame holds, in form order: those listed
// after it that lie inside its rectangle. Empty for an id that is no frame.
std::vector<int> FrameContents(int frameId);
// The frames, then what each of them holds, frame after frame.
std::vector<int> FramesWithContents(std::span<const int> frameIds);

// The control sets that the window's group operations work on.
std::span<const int> AllSettingsControlIds();  // the 113 of EnableAllControls
std::span<const int> TestControlIds();         // the eight CheckReadTest controls
std::span<const int> DeviceTypeGroupIds();     // the Device Type frame and its radios
