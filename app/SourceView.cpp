#include "app/SourceView.h"

#include "app/CChildFrame.h"
#include "app/CEditorApp.h"
#include "app/CVeskDoc.h"
#include "app/FrameClient.h"
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
    link.openFile = [](const std::string& path, int line) {
        CEditorApp* app = CEditorApp::Instance();
        CVeskDoc* opened = app ? app->OpenDocumentFile(QString::fromStdString(path)) : nullptr;
        if (!opened) return false;
        return line < 0 || (!opened->Frames().isEmpty() && GoToSourceLine(opened->Frames().first(), line));
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

bool GoToSourceLine(CChildFrame* child, int line) {
    auto* view = child ? qobject_cast<CVeskView*>(child->SourceView()) : nullptr;
    if (!view) return false;
    if (!view->Buffer()) view->BindBuffer();
    if (line < 0 || line >= view->LineCount()) return false;
    if (child->Client() && child->Client()->CurrentTab() != CFrameClient::TabSource &&
        !child->Client()->SelectTab(CFrameClient::TabSource))
        return false;
    view->SetCursorAndClear({line, 0});
    view->setFocus();
    return true;
}

}  // namespace tarnwell
