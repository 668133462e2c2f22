// What the member list and the parameter tip of a server page show for a caret position: the script
// text before the caret (a logical line joined over "_" continuations, within the caret's script
// region), the names that may follow it, and the call whose argument the caret is in. Engine only; the
// popups draw what these return.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lang/LineSource.h"
#include "lang/TypeResolve.h"

namespace tarnwell {

// The logical line up to the caret. text holds the joined lines (continuation "_" and what follows it
// dropped); caret is the caret's position in text; lowerBound the first position that belongs to the
// script region; firstLine the line the joined text starts on.
struct CaretText {
    std::string text;
    int caret = 0;
    int lowerBound = 0;
    int firstLine = 0;
};

// The region of the outline that holds the caret (at or after its start, at or before its end), or
// nullptr.
const ScriptRegion* RegionAtCaret(const ScriptOutline& outline, TextPosition caret);
// Fills out for a caret inside a script region; false when the caret is outside every region.
bool TextBeforeCaret(const ScriptOutline& outline, const LineSource& text, TextPosition caret, CaretText& out);

// Member list icons.
enum MemberIcon : int { kIconData = 0, kIconCallable = 1, kIconDefaultData = 2, kIconDefaultCallable = 3 };

struct MemberListItem {
    std::string name;
    int icon = kIconData;
    bool callable = false;  // a method or procedure (else a property, variable or property get/put)
    bool script = false;    // declared in the page or its includes (else a type-library member)
    std::string typeName;   // a member's type, a variable's text; empty for a procedure
};

struct MemberList {
    // The type whose members are listed (its ProgID or type text); empty for the global list.
    std::string typeText;
    std::vector<MemberListItem> items;  // sorted by name without regard to case
    // The range the accepted item replaces: the word being typed, from its start to the caret.
    TextPosition wordStart;
    // When items is empty: why, in one word ("outside-script", "not-an-expression", "no-with",
    // "unresolved", "no-type", "no-members").
    std::string reason;
};

// The member list for the caret. The document's outline is rebuilt first when it needs it.
MemberList ListMembersAt(TypeContext& ctx, OutlineSource& document, const LineSource& text, TextPosition caret);

struct ParameterTip {
    std::string callee;                   // empty when there is no tip
    std::vector<SymbolParameter> params;
    int index = 0;                        // the parameter the caret is in
    std::string reason;                   // when callee is empty: why, in one word
    // "Name(a, b)": the callee's name and its parameter names.
    std::string Text() const;
};

// The parameter tip for the caret: the call whose argument list the caret is in (a parenthesized call,
// or a statement call such as "Response.Write x"), and the argument index (commas counted outside
// strings and nested parentheses). The document's outline is rebuilt first when it needs it, unless
// `rebuild` is false: the caller then vouches that the outline still fits the text (see
// UpdateRegionsOnLine).
ParameterTip ParameterTipAt(TypeContext& ctx, OutlineSource& document, const LineSource& text, TextPosition caret,
                            bool rebuild = true);

// Where the name under the caret (or just before it) is defined: a procedure, variable, constant or
// class of the page or of a file it includes, a class's procedure or member reached through an
// expression ("cart.AddItem"), a local or a parameter of the procedure around the caret. file is the
// path (document key) of the outline that holds it. The document's outline is rebuilt first when it
// needs it.
struct Definition {
    std::string file;  // empty when there is none
    int line = -1;
    std::string name;
    // When file is empty: why, in one word ("outside-script", "no-name", "unresolved", "predefined",
    // "library").
    std::string reason;
};
Definition DefinitionAt(TypeContext& ctx, OutlineSource& document, const LineSource& text, TextPosition caret);

// The identifier around a caret on a line: [start, end) in bytes; empty when there is none.
std::pair<int, int> WordAround(std::string_view line, int ch);

}  // namespace tarnwell
