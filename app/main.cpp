// The tarnwell program: an editor for HTML and classic ASP pages.
#include "app/BrowseView.h"
#include "app/CEditorApp.h"
#include "app/ToolIcons.h"

#include <QApplication>

int main(int argc, char** argv) {
    // The embedded browser needs its settings before the application object exists.
    tarnwell::CBrowseView::PrepareApplication();
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwell"));
    QApplication::setApplicationName(QStringLiteral("Tarnwell"));
    QApplication::setApplicationVersion(QStringLiteral("0.1.0"));
    QApplication::setDesktopFileName(QStringLiteral("tarnwell"));
    QApplication::setWindowIcon(tarnwell::AppIcon());

    tarnwell::CEditorApp app(tarnwell::CEditorApp::Config{});
    QStringList args = QApplication::arguments();
    args.removeFirst();
    switch (app.InitInstance(args)) {
    case tarnwell::CEditorApp::StartResult::HandedOff: return 0;
    case tarnwell::CEditorApp::StartResult::Failed: return 1;
    case tarnwell::CEditorApp::StartResult::Running: break;
    }
    const int code = QApplication::exec();
    app.ExitInstance();
    return code;
}
