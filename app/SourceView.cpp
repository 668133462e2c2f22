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
    if (auto* v = qobject_cast<CVeskView*>(view)) v->SetCursorAndClear(pos);
}

}  // namespace tarnwell
