#include "app/BatchPrint.h"

#include "app/OptionsSheet.h"
#include "lang/HtmlAspParser.h"
#include "platform/FilePath.h"
#include "text/CVeskView.h"
#include "text/ViewPrint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>

#include <cstdio>

namespace tarnwell {

bool IsBatchPrintCommand(const QStringList& args) {
    return !args.isEmpty() && args.first() == QLatin1String(kPrintToPdfSwitch);
}

bool PrintFileToPdf(const QString& file, const QString& out, Profile& profile, QString* error) {
    auto fail = [error](const QString& text) {
        if (error) *error = text;
        return false;
    };
    const QString fileName = QDir::toNativeSeparators(file);
    const QString outName = QDir::toNativeSeparators(out);
    if (QFileInfo(file).isDir()) return fail(QStringLiteral("cannot read \"%1\": it is a folder").arg(fileName));
    // The options give the page its default encoding, font and tab size, as in the editor.
    const bool ownOptions = !COptionsSheet::Exists();
    if (ownOptions) COptionsSheet::SetProfile(&profile);
    struct ReleaseOptions {
        bool own;
        ~ReleaseOptions() {
            if (!own) return;
            COptionsSheet::Release();
            COptionsSheet::SetProfile(nullptr);
        }
    } releaseOptions{ownOptions};
    const COptionsSheet& options = COptionsSheet::Get();

    CCrystalTextBuffer buffer;
    buffer.SetDefaultCodePage(options.Edit().defaultEncoding);
    FileError fe;
    if (!buffer.ReadFromFile(FsPath(file), LineEndAuto, &fe))
        return fail(QStringLiteral("cannot read \"%1\": %2").arg(fileName, QString::fromStdString(fe.message)));
    // The PDF is created before printing so that an unwritable name is reported with the system's reason.
    {
        QFile probe(out);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(QStringLiteral("cannot write \"%1\": %2").arg(outName, probe.errorString()));
    }

    CVeskView view(&buffer, GetFileKind(file.toStdString()));
    view.BindBuffer();
    options.ApplyFontTo(&view);
    view.setWindowTitle(QFileInfo(file).fileName());

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    printer.setDocName(QFileInfo(file).fileName());
    if (!PrintView(view, printer, ReadPageMargins(profile)))
        return fail(QStringLiteral("cannot write \"%1\"").arg(outName));
    return true;
}

int RunBatchPrint(const QStringList& args, Profile& profile) {
    if (args.size() != 3 || !IsBatchPrintCommand(args)) {
        std::fprintf(stderr, "usage: tarnwell %s OUT.pdf FILE\n", kPrintToPdfSwitch);
        return 1;
    }
    QString error;
    if (!PrintFileToPdf(args.at(2), args.at(1), profile, &error)) {
        std::fprintf(stderr, "tarnwell: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

}  // namespace tarnwell
