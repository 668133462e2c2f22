#include "app/DocPreview.h"

#include "text/AskWithCheck.h"
#include "text/CCrystalTextBuffer.h"
#include "text/StringTable.h"

#include <QDir>

#include <filesystem>

namespace tarnwell {

namespace {

std::filesystem::path ToPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

class DocumentHost : public PreviewHost {
public:
    explicit DocumentHost(CCrystalTextBuffer& buffer) : buffer_(buffer) {}

    const PreviewProject* OpenProject() override {
        const PreviewProjectSource& source = GetPreviewProjectSource();
        return source.openProject ? source.openProject() : nullptr;
    }
    WebPathAnswer AskForWebPath(bool& check) override {
        int value = check ? 1 : 0;
        int answer = AskWithCheckById(strid::kWarnPreviewAspNoWebPath, strid::kDontShowAgain, &value,
                                      mb::kYesNoCancel | mb::kIconQuestion);
        check = value != 0;
        if (answer == mb::kIdYes) return WebPathAnswer::Yes;
        if (answer == mb::kIdNo) return WebPathAnswer::No;
        return WebPathAnswer::Cancel;
    }
    bool EditProjectWebPath() override {
        const PreviewProjectSource& source = GetPreviewProjectSource();
        return source.editWebPath && source.editWebPath();
    }
    bool WriteDocumentText(const std::string& path) override {
        return buffer_.WriteToFile(ToPath(path), LineEndAuto, false);
    }
    void ReportPreviewFailure() override {
        ShowMessage(QString::fromLatin1(kPreviewFailedText), mb::kOk | mb::kIconStop);
    }
    std::string TempFolder() override { return QDir::tempPath().toStdString(); }

private:
    CCrystalTextBuffer& buffer_;
};

}  // namespace

PreviewFile MakeDocumentPreview(const QString& pathName, CCrystalTextBuffer& buffer, Profile& messages) {
    DocumentHost host(buffer);
    return MakePreviewFile(pathName.toStdString(), host, messages);
}

}  // namespace tarnwell
