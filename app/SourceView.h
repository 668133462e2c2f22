// Creates the source view of a document window.
#pragma once

#include "text/TextPosition.h"

class QWidget;

namespace tarnwell {

class CChildFrame;
class CVeskDoc;

// The view that shows and edits the document's text inside a child frame.
QWidget* CreateSourceView(CVeskDoc& doc, QWidget* parent);
// Puts the cursor of a view made by CreateSourceView at `pos` (valid for the text).
void SetSourceViewCursor(QWidget* view, TextPosition pos);
// The cursor of such a view ({0, 0} for any other widget).
TextPosition SourceViewCursor(const QWidget* view);
// Shows the start of a line in a document window's source view: switches the window to its source
// first, moves the caret there (scrolling it into view) and gives the view the focus. False when the
// window has no such view, the line is beyond the text or the switch was refused.
bool GoToSourceLine(CChildFrame* child, int line);

}  // namespace tarnwell
