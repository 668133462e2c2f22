#include "text/FindSession.h"

#include "text/Encoding.h"

#include "platform/Profile.h"

namespace tarnwell {

namespace {
const char kFindSection[] = "CrystalEdit\\Find";
const char kReplaceSection[] = "CrystalEdit\\Replace";
}  // namespace

std::string NotFoundMessage(const std::string& text) { return "Cannot find the string \"" + text + "\"."; }

std::string ReplacedMessage(int count) { return std::to_string(count) + " occurrence(s) replaced."; }

FindResult SearchTarget(const FindTarget& target, const std::string& utf8Text, TextPosition start, unsigned flags,
                        bool wrap) {
    auto bytes = FromUtf8(utf8Text, target.TextCodePage());
    if (!bytes) return {};
    return FindInText(target.Lines(), *bytes, start, flags, wrap, target.TextCodePage());
}

TextPosition SearchStartOf(const FindTarget& target, unsigned flags) {
    if ((flags & SearchUpBit) && target.HasSelection()) return target.SelectionStart();
    return target.Cursor();
}

FindNextResult FindNext(FindTarget& target, const MessageSink& message) {
    SearchMemory& mem = target.LastSearch();
    if (!mem.hasLastSearch) return FindNextResult::NoSearch;
    const unsigned flags = mem.lastSearchOptions;
    FindResult r = SearchTarget(target, mem.lastSearchText, SearchStartOf(target, flags), flags, true);
    if (r.found) {
        target.HighlightMatch(r.pos, int(FromUtf8Lossy(mem.lastSearchText, target.TextCodePage()).size()));
        return FindNextResult::Found;
    }
    if (message) message(NotFoundMessage(mem.lastSearchText), false);
    return FindNextResult::NotFound;
}

// --- Find dialog ---

FindDialogModel::FindDialogModel(FindTarget& target, Profile& profile) : target_(target), profile_(profile) {
    const SearchMemory& mem = target.LastSearch();
    if (mem.hasLastSearch) {
        text = mem.lastSearchText;
        matchCase = (mem.lastSearchOptions & SearchCaseBit) != 0;
        wholeWord = (mem.lastSearchOptions & SearchWordBit) != 0;
        up = (mem.lastSearchOptions & SearchUpBit) != 0;
    } else {
        matchCase = profile.GetInt(kFindSection, "MatchCase", 0) != 0;
        wholeWord = profile.GetInt(kFindSection, "WholeWord", 0) != 0;
        text = profile.GetString(kFindSection, "FindWhat", "");
    }
    const TextPosition s = target.SelectionStart(), e = target.SelectionEnd();
    if (s != e && s.line == e.line) {
        const SearchLines& lines = target.Lines();
        if (s.line < lines.LineCount() && e.ch <= lines.LineLength(s.line))
            text = ToUtf8(std::string_view(lines.LineText(s.line) + s.ch, size_t(e.ch - s.ch)), target.TextCodePage());
    }
    oldShowSelection_ = target.ShowSelectionAlways();
    target.SetShowSelectionAlways(true);
}

unsigned FindDialogModel::Flags() const {
    return (matchCase ? SearchCaseBit : 0u) | (wholeWord ? SearchWordBit : 0u) | (up ? SearchUpBit : 0u);
}

bool FindDialogModel::FindNext(const MessageSink& message) {
    if (!CanFindNext()) return false;
    const unsigned flags = Flags();
    const TextPosition start = restartAtTop_ ? TextPosition(0, 0) : SearchStartOf(target_, flags);
    FindResult r = SearchTarget(target_, text, start, flags, true);
    if (r.found) {
        target_.HighlightMatch(r.pos, int(FromUtf8Lossy(text, target_.TextCodePage()).size()));
        restartAtTop_ = false;
        return true;
    }
    if (message) message(NotFoundMessage(text), false);
    restartAtTop_ = true;
    return false;
}

void FindDialogModel::Close() {
    if (closed_) return;
    closed_ = true;
    SearchMemory& mem = target_.LastSearch();
    mem.lastSearchText = text;
    mem.lastSearchOptions = Flags();
    mem.hasLastSearch = true;
    profile_.WriteInt(kFindSection, "MatchCase", matchCase ? 1 : 0);
    profile_.WriteInt(kFindSection, "WholeWord", wholeWord ? 1 : 0);
    profile_.WriteString(kFindSection, "FindWhat", text);
    target_.SetShowSelectionAlways(oldShowSelection_);
}

// --- Replace dialog ---

ReplaceDialogModel::ReplaceDialogModel(FindTarget& target, Profile& profile) : target_(target), profile_(profile) {
    matchCase = profile.GetInt(kReplaceSection, "MatchCase", 0) != 0;
    wholeWord = profile.GetInt(kReplaceSection, "WholeWord", 0) != 0;
    findText = profile.GetString(kReplaceSection, "FindWhat", "");
    replaceText = profile.GetString(kReplaceSection, "ReplaceWith", "");
    if (target.HasSelection()) {
        selectionEnabled_ = true;
        selectionScope = true;
        blockStart_ = target.SelectionStart();
        blockEnd_ = target.SelectionEnd();
        restart_ = blockStart_;
        target.SaveSelection(blockStart_, blockEnd_);
    } else {
        restart_ = target.Cursor();
    }
    current_ = restart_;
    oldShowSelection_ = target.ShowSelectionAlways();
    target.SetShowSelectionAlways(true);
}

bool ReplaceDialogModel::Search(const MessageSink& message, bool replacingAll) {
    const unsigned flags = (matchCase ? SearchCaseBit : 0u) | (wholeWord ? SearchWordBit : 0u);
    const CodePage cp = target_.TextCodePage();
    auto bytes = FromUtf8(findText, cp);
    FindResult r;
    if (bytes && !bytes->empty()) {
        if (selectionScope && selectionEnabled_)
            r = FindInBlock(target_.Lines(), *bytes, current_, blockStart_, blockEnd_, flags, false, cp);
        else
            r = FindInText(target_.Lines(), *bytes, current_, flags, false, cp);
    }
    if (r.found) {
        target_.HighlightMatch(r.pos, int(bytes->size()));
        current_ = r.pos;
        matchPending_ = true;
        return true;
    }
    if (!replacingAll && message) message(NotFoundMessage(findText), false);
    restart_ = (selectionScope && selectionEnabled_) ? blockStart_ : TextPosition(0, 0);
    matchPending_ = false;
    return false;
}

void ReplaceDialogModel::FindNext(const MessageSink& message) {
    if (!CanFind()) return;
    if (!matchPending_) {
        current_ = restart_;
    } else {
        current_.ch += 1;
    }
    Search(message, false);
}

// Replaces the pending match (selected in the view) and moves the current position after it.
bool ReplaceDialogModel::ReplacePending() {
    const CodePage cp = target_.TextCodePage();
    const std::string replacement = FromUtf8Lossy(replaceText, cp);
    const int findLength = int(FromUtf8Lossy(findText, cp).size());
    const TextPosition at = current_;
    if (!target_.SwapSelectionText(replacement)) {
        matchPending_ = false;
        return false;
    }
    // The inserted text is selected now; its end is where the search goes on.
    const TextPosition after = replacement.empty() ? at : target_.SelectionEnd();
    if (selectionEnabled_) {
        // Block ends behind the match on its line follow the length change (a replacement with
        // line breaks moves them to its last line).
        for (TextPosition* p : {&blockStart_, &blockEnd_}) {
            if (p->line == at.line && p->ch > at.ch)
                *p = TextPosition(after.line, after.ch + (p->ch - (at.ch + findLength)));
            else if (p->line > at.line)
                p->line += after.line - at.line;
        }
    }
    current_ = after;
    return true;
}

void ReplaceDialogModel::Replace(const MessageSink& message) {
    if (!CanFind()) return;
    if (!matchPending_) {
        current_ = restart_;
        Search(message, false);
        return;
    }
    if (!target_.IsEditable() || !ReplacementFits(message) || !ReplacePending()) return;
    Search(message, false);
}

bool ReplaceDialogModel::ReplacementFits(const MessageSink& message) const {
    const CodePage cp = target_.TextCodePage();
    const std::u32string missing = UnencodableChars(replaceText, CodePage::Utf8, cp);
    if (missing.empty()) return true;
    if (message)
        message(std::string(CodePageName(cp)) + " cannot hold " + DescribeChars(missing) + ": nothing was replaced.",
                false);
    return false;
}

int ReplaceDialogModel::ReplaceAll(const MessageSink& message) {
    if (!CanFind() || !target_.IsEditable() || !ReplacementFits(message)) return 0;
    // Every occurrence in the scope from its start: a pending match is one of them.
    current_ = TextPosition(0, 0);
    matchPending_ = false;
    Search(message, false);
    while (matchPending_) {
        if (!ReplacePending()) break;
        ++count_;
        Search(message, true);
    }
    const int made = count_;
    if (count_ > 0 && message) message(ReplacedMessage(count_), true);
    count_ = 0;
    return made;
}

void ReplaceDialogModel::Close() {
    if (closed_) return;
    closed_ = true;
    TextPosition s, e;
    if (target_.SavedSelection(&s, &e)) {
        target_.SelectRange(s, e);
        target_.ForgetSavedSelection();
    }
    profile_.WriteInt(kReplaceSection, "MatchCase", matchCase ? 1 : 0);
    profile_.WriteInt(kReplaceSection, "WholeWord", wholeWord ? 1 : 0);
    profile_.WriteString(kReplaceSection, "FindWhat", findText);
    profile_.WriteString(kReplaceSection, "ReplaceWith", replaceText);
    target_.SetShowSelectionAlways(oldShowSelection_);
}

}  // namespace tarnwell
