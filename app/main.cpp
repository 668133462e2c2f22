// The tarnwell program: an editor for HTML and classic ASP pages.
#include "app/BatchPrint.h"
#include "app/BrowseView.h"
#include "app/CEditorApp.h"
#include "app/ToolIcons.h"
#include "platform/SettingsProfile.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Batch printing needs no display: it runs on the offscreen platform.
    QStringList rawArgs;
    for (int i = 1; i < argc; ++i) rawArgs << QString::fromLocal8Bit(argv[i]);
    const bool batchPrint = tarnwell::IsBatchPrintCommand(rawArgs);
    if (batchPrint) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        // The embedded browser needs its settings before the application object exists.
        tarnwell::CBrowseView::PrepareApplication();
    }
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwell"));
    QApplication::setApplicationName(QStringLiteral("Tarnwell"));
    QApplication::setApplicationVersion(QStringLiteral("0.1.0"));
    QApplication::setDesktopFileName(QStringLiteral("tarnwell"));
    QApplication::setWindowIcon(tarnwell::AppIcon());

    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (batchPrint) {
        tarnwell::SettingsProfile profile;
        return tarnwell::RunBatchPrint(args, profile);
    }

    tarnwell::CEditorApp app(tarnwell::CEditorApp::Config{});
    switch (app.InitInstance(args)) {
    case tarnwell::CEditorApp::StartResult::HandedOff: return 0;
    case tarnwell::CEditorApp::StartResult::Failed: return 1;
    case tarnwell::CEditorApp::StartResult::Running: break;
    }
    const int code = QApplication::exec();
    app.ExitInstance();
    return code;
}
