#include "app/SourceView.h"

#include "app/CEditorApp.h"
#include "app/CVeskDoc.h"
#include "app/ProjectLink.h"
#include "lang/OutlineStore.h"
#include "lang/HtmlAspParser.h"
#include "text/CVeskView.h"

namespace tarnwell {

QWidget* CreateSourceView(CVeskDoc& doc, QWidget* parent) {
    // An untitled page counts as an ASP page.
    const int kind = doc.IsUntitled() ? int(FileKindAsp) : GetFileKind(doc.PathName().toStdString());
    auto* view = new CVeskView(&doc.Buffer(), kind, parent);
    view->setObjectName(QStringLiteral("SourceView"));
    CVeskDoc* page = &doc;
    CodeHelpLink link;
    link.outlines = [page]() -> OutlineStore* { return &page->Project().Outlines(); };
    link.types = [page]() -> TypeLibraryCache* { return &page->Project().TypeLibraries(); };
    link.documentKey = [page] { return page->DocumentKey(); };
    link.siteRoot = [page] { return page->Project().IsOpen() ? page->Project().ProjectFolder() : std::string(); };
    link.openFile = [](const std::string& path) {
        CEditorApp* app = CEditorApp::Instance();
        return app && app->OpenDocumentFile(QString::fromStdString(path)) != nullptr;
    };
    view->SetCodeHelp(std::move(link));
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
