#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

#include "form/FormOperations.h"
#include "ui/FormBuilder.h"

// The main window form on real widgets: the operations by control id that
// the protocol and the window use, the group operations, and the form's
// events (button clicks, list selection by the user, list close-ups).
class QtForm : public QObject, public FormOperations {
    Q_OBJECT
  public:
    explicit QtForm(QWidget* window);

    // FormOperations
    std::span<const FormEntry> FormOrder() const override { return order_; }
    bool IsChecked(int id) const override;
    void SetChecked(int id, bool checked) override;
    int SelectedIndex(int id) const override;
    void SelectIndex(int id, int index) override;
    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;
    void Enable(int id, bool enabled) override;
    void EnableAllControls() override;

    // Lists
    void AddListEntry(int id, const QString& entry);
    void AddListEntries(int id, const QStringList& entries);
    void ClearList(int id);
    int ListCount(int id) const;
    QString ListEntry(int id, int index) const;
    // Chooses an entry of an enabled list as a technician does and reports
    // what the list reports for that: the selection, then the close-up. The
    // close-up comes at once rather than from the event loop, so the choice
    // has had its whole effect on return. False, and nothing reported, for a
    // list that is disabled or does not hold the entry. The focus is left
    // alone.
    bool Choose(int listId, int index);

    // Group operations
    void DisableAllControls();
    void EnableTestControls();
    void DisableTestControls();
    void FocusComparisonBox();

    void Focus(int id);
    bool IsEnabled(int id) const;
    QWidget* Widget(int id) const;

  signals:
    void clicked(int id);
    void selectionChanged(int id);
    void closedUp(int id);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void EnableSet(std::span<const int> ids, bool enabled);
    template <typename W>
    W* As(int id) const;

    FormWidgets widgets_;
    std::vector<FormEntry> order_;
};
