#include "app/SourceView.h"

#include "app/CVeskDoc.h"
#include "lang/HtmlAspParser.h"
#include "text/CVeskView.h"

namespace tarnwell {

QWidget* CreateSourceView(CVeskDoc& doc, QWidget* parent) {
    // An untitled page counts as an ASP page.
    const int kind = doc.IsUntitled() ? int(FileKindAsp) : GetFileKind(doc.PathName().toStdString());
    auto* view = new CVeskView(&doc.Buffer(), kind, parent);
    view->setObjectName(QStringLiteral("SourceView"));
    return view;
}

void SetSourceViewCursor(QWidget* view, TextPosition pos) {
    auto* v = qobject_cast<CVeskView*>(view);
    if (!v) return;
    // A view binds its buffer when first shown, which puts the cursor at the start: bind it now so
    // that the position is not lost.
    if (!v->Buffer()) v->BindBuffer();
    v->SetCursorAndClear(pos);
}

TextPosition SourceViewCursor(const QWidget* view) {
    const auto* v = qobject_cast<const CVeskView*>(view);
    return v ? v->CursorPosition() : TextPosition{0, 0};
}

}  // namespace tarnwell
