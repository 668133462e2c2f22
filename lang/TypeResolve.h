// What a name or a dotted expression in a server page refers to: symbols and types drawn from the page's
// outline (and the files it includes) and from the loaded type libraries, the lookups of the page's
// global scope, and the split and resolution of the expression before the caret.
//
// Symbols and type handles point into outlines and libraries: use them at once, never across an outline
// rebuild.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lang/OutlineStore.h"
#include "lang/ScriptOutline.h"
#include "lang/TypeLibrary.h"
#include "text/TextPosition.h"

namespace tarnwell {

// The outlines and libraries a lookup draws on (in the program: the project's).
struct TypeContext {
    OutlineStore& outlines;
    TypeLibraryCache& types;
};

struct SymbolParameter {
    std::string name;
    bool optional = false;
    std::string typeName;  // empty for a script procedure's parameter
};

// A handle on a type-library method or property, a script procedure, or a script variable (a procedure's
// parameter counts as a variable without a type).
class SymbolRef {
public:
    // Kind code bits.
    enum : int { kFromLibrary = 1, kFromScript = 2, kCallable = 4, kData = 8 };

    SymbolRef() = default;
    static SymbolRef Method(const MethodMember* m, const TypeLibrary* library);
    static SymbolRef Property(const PropertyMember* p, const TypeLibrary* library);
    static SymbolRef Procedure(const ProcedureItem* p, OutlineSource* file);
    static SymbolRef Variable(const OutlineItem* v, OutlineSource* file);

    explicit operator bool() const { return item_ != nullptr; }
    // 5 type-library method, 6 script procedure, 9 type-library property, 10 script variable; 0 none.
    int KindCode() const { return kind_; }
    bool IsCallable() const { return (kind_ & kCallable) != 0; }
    bool IsData() const { return (kind_ & kData) != 0; }
    bool FromLibrary() const { return (kind_ & kFromLibrary) != 0; }
    std::string Name() const;
    // A member's type name, a script variable's ProgID, class name or expression; empty for a procedure.
    std::string TypeText() const;
    // A script variable whose text is an expression still to be resolved.
    bool IsExpression() const;
    bool IsDefaultMember() const;
    std::vector<SymbolParameter> Parameters() const;
    size_t ParameterCount() const;

    const MethodMember* AsMethod() const { return kind_ == 5 ? static_cast<const MethodMember*>(item_) : nullptr; }
    const PropertyMember* AsProperty() const { return kind_ == 9 ? static_cast<const PropertyMember*>(item_) : nullptr; }
    const ProcedureItem* AsProcedure() const { return kind_ == 6 ? static_cast<const ProcedureItem*>(item_) : nullptr; }
    const OutlineItem* AsVariable() const { return kind_ == 10 ? static_cast<const OutlineItem*>(item_) : nullptr; }
    // The library of a type-library member; the file that declares a script symbol.
    const TypeLibrary* Library() const { return library_; }
    OutlineSource* File() const { return file_; }

private:
    int kind_ = 0;
    const void* item_ = nullptr;
    const TypeLibrary* library_ = nullptr;
    OutlineSource* file_ = nullptr;
};

// A handle on a library type or a script class.
class TypeRef {
public:
    TypeRef() = default;
    explicit TypeRef(const TypeEntry* entry) : entry_(entry) {}
    TypeRef(const ClassItem* cls, OutlineSource* file) : class_(cls), file_(file) {}

    explicit operator bool() const { return entry_ || class_; }
    std::string Name() const;
    // A property (or a class's member variable) by name.
    SymbolRef FindDataMember(std::string_view name) const;
    // A method (or a class's procedure) by name.
    SymbolRef FindCallable(std::string_view name) const;
    // The member with member id 0; a script class has none.
    SymbolRef DefaultMember() const;

    const TypeEntry* Entry() const { return entry_; }
    const ClassItem* Class() const { return class_; }
    OutlineSource* File() const { return file_; }

private:
    const TypeEntry* entry_ = nullptr;
    const ClassItem* class_ = nullptr;
    OutlineSource* file_ = nullptr;
};

// Global-scope lookups in `file` and, depth first, the files it includes (an include naming startFile
// ends the walk of the including file; a file is searched once). With rebuild set, an outline that needs
// a rebuild is rebuilt first (included files always are).
// FindVariable: the outline's variables (predefined objects first), then the VBScript global properties.
// FindProcedure: the outline's procedures, then the VBScript global methods.
// FindType: a library type named by a ProgID or type name (preferred library first), then a script class.
SymbolRef FindVariable(TypeContext& ctx, std::string_view name, const std::string& startFile, const std::string& file, bool rebuild);
SymbolRef FindProcedure(TypeContext& ctx, std::string_view name, const std::string& startFile, const std::string& file, bool rebuild);
TypeRef FindType(TypeContext& ctx, std::string_view name, const std::string& startFile, const std::string& file, bool rebuild,
                 const TypeLibrary* preferred = nullptr);

// One piece of a dotted expression: a name (possibly empty, as right after a dot) or an argument list
// "( ... )". start and end are positions in the split text (half-open).
struct ExpressionSegment {
    enum Kind : int { kName = 1, kArguments = 2 };
    int kind = kName;
    std::string text;
    int start = 0;
    int end = 0;
};
using Expression = std::vector<ExpressionSegment>;

// Identifier characters of expressions: ASCII letters, digits and "_".
bool IsExpressionIdentChar(char c);

// Splits the expression that ends at `position` in text, walking back no further than lowerBound, into
// segments in reading order: "rs.Fields(Trim(x))." gives rs, Fields, (Trim(x)), "". Argument lists
// count nested parentheses and skip double-quoted strings. False when the text before the position is
// not an expression (an unbalanced or unterminated argument list, an argument list after an operator).
bool SplitExpression(std::string_view text, int lowerBound, int position, Expression& out);

// Resolves a chain (as split above) in a document with the caret at `caret`. The head is looked up the
// way VBScript scopes names: the caret procedure's locals and parameters, then the members of the class
// around the caret, then the page's globals (variables, then procedures). A variable set from an
// expression stands for what that expression resolves to (to a bounded depth, so a variable defined
// through itself resolves to nothing). One or two segments yield the head; longer chains walk member by
// member and yield the symbol of the segment before the last. A chain that starts with "Me" inside a
// class walks that class's members (all of them: the code is the class's own); "Me" alone names no
// symbol. The document's outline is rebuilt first when it needs it, unless `rebuild` is false.
SymbolRef ResolveExpression(TypeContext& ctx, const Expression& segments, OutlineSource& document, TextPosition caret,
                            bool rebuild = true);

// The class whose code holds `line` when `name` is "Me" (in any case); none elsewhere and for other names.
const ClassItem* MeClassAt(const ScriptOutline& outline, std::string_view name, int line);

// The type a symbol's value has (following a variable set from an expression), or none.
TypeRef TypeOfSymbol(TypeContext& ctx, const SymbolRef& symbol, OutlineSource& document);

}  // namespace tarnwell
