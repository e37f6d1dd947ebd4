#pragma once

#include <span>
#include <string>

// The kinds of controls a form holds, as far as the settings exchange cares.
enum class ControlKind { Frame, Label, Radio, CheckBox, DropList, TextBox, Button };

// One control of the form in form order. A radio marked firstOfGroup starts
// a new radio group, which runs up to the next control so marked.
struct FormEntry {
    int id;
    ControlKind kind;
    bool firstOfGroup;
};

// The operations on the form that the protocol code needs, by control id.
// The Qt form implements it for the window; tests use an in-memory form.
class FormOperations {
  public:
    virtual ~FormOperations() = default;

    // Every control of the form, unnumbered ones included, in form order.
    virtual std::span<const FormEntry> FormOrder() const = 0;

    virtual bool IsChecked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;

    // List selection: a 0-based index, -1 for none. Selecting an index the
    // list does not hold selects nothing.
    virtual int SelectedIndex(int id) const = 0;
    virtual void SelectIndex(int id, int index) = 0;

    // Texts are UTF-8.
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;

    virtual void Enable(int id, bool enabled) = 0;
    // Every settings and test control, and Send Cmd.
    virtual void EnableAllControls() = 0;
};
