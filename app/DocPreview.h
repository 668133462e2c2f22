// A document's Make preview file with the program's own question and message boxes: the text comes
// from the document's buffer, written with its line ends and without touching its modified state.
#pragma once

#include "app/PreviewFile.h"

#include <QString>

namespace tarnwell {

class CCrystalTextBuffer;
class Profile;

// `pathName` is empty for an untitled page. `messages` holds the "Messages" switches.
PreviewFile MakeDocumentPreview(const QString& pathName, CCrystalTextBuffer& buffer, Profile& messages);

}  // namespace tarnwell
