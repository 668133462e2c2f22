#include "text/StringTable.h"

#include <map>

namespace tarnwell {

namespace {

const std::map<unsigned, std::string>& Table() {
    static const std::map<unsigned, std::string> table = {
        {strid::kAppName, "Tarnwell"},
        {strid::kWarnLoadVbKeywords,
         "Failed to load \"vbscript.txt\". The syntax highlighting for VBScript is disabled. To correct "
         "this problem, please reinstall the program."},
        {strid::kWarnLoadHtmlKeywords,
         "Failed to load \"html.txt\". The syntax highlighting for HTML is disabled. To correct this "
         "problem, please reinstall the program."},
        {strid::kAskWebPath,
         "If you don't enter the web path that your project associates to, some files can not be "
         "previewed correctly. Do you want to specify the web path now?"},
        {strid::kDontShowAgain, "Dont show this message again"},
        {strid::kDontAskAgain, "Don't ask me again"},
        {strid::kConfirmDeleteFiles, "Are you sure you want to delete all the selected items?"},
        {strid::kWarnAbsolutePath,
         "Relative path cannot be calculated until you save this file. Absolute path will be used."},
        {strid::kWarnPreviewAspNoWebPath,
         "This ASP file can not be previewed correctly because you have not specified the web path for "
         "this project. Do you want to specify the web path now?\r\n\r\nIf you select \"No\", you can "
         "still preview this file without the server-side script running."},
    };
    return table;
}

}  // namespace

const std::string& LoadString(unsigned id) {
    static const std::string empty;
    auto it = Table().find(id);
    return it == Table().end() ? empty : it->second;
}

}  // namespace tarnwell
