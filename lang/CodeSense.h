// What the editor's code popups need beyond the member and parameter queries: matching the word being
// typed against the member list, the pieces of the parameter tip, and the include directive under the
// caret with the file it names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lang/MemberQuery.h"

namespace tarnwell {

// The list item the typed word picks. The first item starting with the word (ignoring ASCII case) is
// selected. When none does, the word is shortened from its end until some item starts with it: that
// item (or item 0) becomes the hint, framed but not selected. An empty list gives neither.
struct WordMatch {
    int selection = -1;
    int hint = -1;
};
WordMatch MatchTypedWord(const std::vector<MemberListItem>& items, std::string_view word);

// The tip as drawn: pieces[0] is the header ("Name (" with parameters, "Name ()" without), then one
// piece per parameter, each followed by ", " and the last by ")".
std::vector<std::string> ParameterTipPieces(const ParameterTip& tip);

// An include directive ("<!-- #include file="..." -->" or virtual="...") around a character of a line.
struct IncludeDirective {
    bool isVirtual = false;
    std::string name;  // as written between the quotes
};
// The directive whose text (from "#include" to the closing quote) holds ch, or the only directive of
// the line when ch is elsewhere on it. False when the line has none.
bool IncludeDirectiveAt(std::string_view line, int ch, IncludeDirective& out);
// The full path a directive names (see ResolveIncludeName): "virtual" against the site root (the
// project folder), "file" against the folder of the including page.
std::string ResolveIncludeDirective(const IncludeDirective& d, const std::string& pagePath, const std::string& siteRoot);

}  // namespace tarnwell
