#pragma once

class QLabel;

// How the form's widgets meet screen readers where Qt's own interfaces fall
// short on Linux.
//
// Qt names a drop-down list by its current entry there and expects a label
// to point at the list; the form's lists stand beside labels and check
// boxes alike, so they carry the name the form builder gives them instead,
// and report the entry as their value.
//
// Qt 6.4 has no announcement event, and Orca speaks a control whose name
// changes only while it has the focus; what it speaks wherever the focus
// is, is a notification that shows. So the status line reports itself as a
// notification named by its text, and shows anew with every new status.

// Makes the form's own interfaces stand for its widgets; once, before the
// first widget is made.
void InstallFormAccessibility();

void MakeStatusLine(QLabel* label);

// Tells screen readers that a status line shows a new text; nothing for any
// other label.
void AnnounceNewText(QLabel* label);
