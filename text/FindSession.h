// The behaviour of the Find and Replace dialogs and of Find Next, over what they need of an editor
// view (FindTarget). The widgets only show these models and pass the user's actions on.
#pragma once

#include "text/CaseFolding.h"
#include "text/FindText.h"
#include "text/TextPosition.h"

#include <functional>
#include <string>
#include <string_view>

namespace tarnwell {

class Profile;

// What a view remembers of its last Find dialog, for Find Next. The text is UTF-8.
struct SearchMemory {
    bool hasLastSearch = false;
    std::string lastSearchText;
    unsigned lastSearchOptions = 0;
};

// What find and replace need of a view. Positions are buffer positions.
class FindTarget {
public:
    virtual ~FindTarget() = default;

    virtual const SearchLines& Lines() const = 0;
    virtual CodePage TextCodePage() const = 0;
    virtual TextPosition Cursor() const = 0;
    // Normalised selection (start <= end); empty when equal.
    virtual TextPosition SelectionStart() const = 0;
    virtual TextPosition SelectionEnd() const = 0;
    // Cursor and anchor after the match, the match selected, the cursor scrolled into view.
    virtual void HighlightMatch(TextPosition pos, int length) = 0;
    // Selects [start, end) with the cursor at end.
    virtual void SelectRange(TextPosition start, TextPosition end) = 0;
    virtual bool IsEditable() const = 0;
    // Replaces the selection by text and selects the inserted text; false when nothing is selected.
    virtual bool SwapSelectionText(std::string_view text) = 0;
    virtual bool ShowSelectionAlways() const = 0;
    virtual void SetShowSelectionAlways(bool on) = 0;
    virtual SearchMemory& LastSearch() = 0;
    // The selection the Replace dialog restores on closing. The view keeps it following every edit.
    virtual void SaveSelection(TextPosition start, TextPosition end) = 0;
    virtual bool SavedSelection(TextPosition* start, TextPosition* end) const = 0;
    virtual void ForgetSavedSelection() = 0;

    bool HasSelection() const { return SelectionStart() != SelectionEnd(); }
};

// The two messages, with their texts filled in.
std::string NotFoundMessage(const std::string& text);  // Cannot find the string "%s".
std::string ReplacedMessage(int count);                // %d occurrence(s) replaced.

// Shows a message: information is true for the count after Replace All.
using MessageSink = std::function<void(const std::string& message, bool information)>;

// One search as the dialogs run it: the UTF-8 text in the target's code page (a text that the code
// page cannot hold finds nothing).
FindResult SearchTarget(const FindTarget& target, const std::string& utf8Text, TextPosition start, unsigned flags,
                        bool wrap);

// Where a search in direction `flags` starts from the view: the cursor, or for an upward search the
// start of the selection (so that a repeated search up moves past the highlighted match).
TextPosition SearchStartOf(const FindTarget& target, unsigned flags);

enum class FindNextResult { NoSearch, Found, NotFound };
// Find Next (F3): nothing before the view's first Find dialog; otherwise one search with wrap.
FindNextResult FindNext(FindTarget& target, const MessageSink& message);

// The Find dialog's state from opening to closing.
class FindDialogModel {
public:
    FindDialogModel(FindTarget& target, Profile& profile);

    std::string text;  // UTF-8
    bool matchCase = false;
    bool wholeWord = false;
    bool up = false;

    bool CanFindNext() const { return !text.empty(); }
    unsigned Flags() const;
    // Searches; true when found (the dialog then closes). Not found: the message, and the next
    // search starts at (0, 0).
    bool FindNext(const MessageSink& message);
    // Stores the search memory and the profile values, restores show-selection-always.
    void Close();

private:
    FindTarget& target_;
    Profile& profile_;
    bool restartAtTop_ = false;
    bool oldShowSelection_ = false;
    bool closed_ = false;
};

// The Replace dialog's state from opening to closing.
class ReplaceDialogModel {
public:
    ReplaceDialogModel(FindTarget& target, Profile& profile);

    std::string findText;     // UTF-8
    std::string replaceText;  // UTF-8
    bool matchCase = false;
    bool wholeWord = false;
    bool selectionScope = false;  // "Selection" chosen (only when opened with a selection)

    bool SelectionEnabled() const { return selectionEnabled_; }
    bool CanFind() const { return !findText.empty(); }
    bool MatchPending() const { return matchPending_; }
    TextPosition BlockStart() const { return blockStart_; }
    TextPosition BlockEnd() const { return blockEnd_; }

    void FindNext(const MessageSink& message);
    void Replace(const MessageSink& message);
    // Answers the number of replacements made.
    int ReplaceAll(const MessageSink& message);
    // Restores the remembered selection, writes the profile values, restores show-selection-always.
    void Close();

private:
    bool Search(const MessageSink& message, bool replacingAll);
    bool ReplacePending();
    // False, after a message naming them, when the code page cannot hold characters of replaceText.
    bool ReplacementFits(const MessageSink& message) const;

    FindTarget& target_;
    Profile& profile_;
    bool selectionEnabled_ = false;
    TextPosition blockStart_, blockEnd_;
    TextPosition restart_, current_;
    bool matchPending_ = false;
    int count_ = 0;
    bool oldShowSelection_ = false;
    bool closed_ = false;
};

}  // namespace tarnwell
