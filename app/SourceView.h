// Creates the source view of a document window.
#pragma once

#include "text/TextPosition.h"

class QWidget;

namespace tarnwell {

class CVeskDoc;

// The view that shows and edits the document's text inside a child frame.
QWidget* CreateSourceView(CVeskDoc& doc, QWidget* parent);
// Puts the cursor of a view made by CreateSourceView at `pos` (valid for the text).
void SetSourceViewCursor(QWidget* view, TextPosition pos);
// The cursor of such a view ({0, 0} for any other widget).
TextPosition SourceViewCursor(const QWidget* view);

}  // namespace tarnwell
