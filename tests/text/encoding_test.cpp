// Code pages: what a page is read as, byte-exact round trips in every code page, conversions and
// case-insensitive search in single-byte pages.
#include "tests/text/BufferTestSupport.h"

#include "text/BufferFindTarget.h"
#include "text/CaseFolding.h"
#include "text/Encoding.h"
#include "text/FindText.h"

namespace tarnwell {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
using namespace std::string_literals;

constexpr auto U8 = CodePage::Utf8;
constexpr auto W1250 = CodePage::Windows1250;
constexpr auto W1251 = CodePage::Windows1251;
constexpr auto W1252 = CodePage::Windows1252;
constexpr auto None = std::nullopt;
using Src = EncodingSource;

const std::string kPrivet1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";  // Привет
const std::string kCafe1252 = "caf\xE9";
const std::string kCafeUtf8 = "caf\xC3\xA9";

TEST(Encoding, DecidesFromDeclarationBytesOrDefault) {
    const std::string padding(kDeclarationWindow, ' ');
    const struct {
        const char* name;
        std::string bytes;
        CodePage fallback;
        CodePage codePage;
        std::optional<CodePage> declared;
        Src source;
    } cases[] = {
        {"directive", "<%@ CODEPAGE=65001 %>\r\n" + kCafeUtf8, W1252, U8, U8, Src::Declaration},
        {"directive quoted, mixed case", "<%@ Language=\"VBScript\" CodePage=\"1251\" %>" + kPrivet1251, W1252, W1251,
         W1251, Src::Declaration},
        {"Response.CodePage", "<% response.CODEPAGE   =  1250 %>x", W1252, W1250, W1250, Src::Declaration},
        {"Response.Charset", "<% Response.Charset = \"UTF-8\" %>x", W1252, U8, U8, Src::Declaration},
        {"meta http-equiv", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1251\">" + kPrivet1251,
         W1252, W1251, W1251, Src::Declaration},
        {"meta charset, ISO-8859-1 read as 1252", "<meta charset=iso-8859-1>" + kCafe1252, W1251, W1252, W1252,
         Src::Declaration},
        {"meta over two lines", "<meta http-equiv=\"Content-Type\"\r\n content=\"text/html; charset=windows-1250\">",
         W1252, W1250, W1250, Src::Declaration},
        {"directive wins over meta", "<meta charset=\"utf-8\"><%@ CODEPAGE=1251 %>" + kPrivet1251, W1252, W1251, W1251,
         Src::Declaration},
        {"unsupported declaration ignored", "<meta charset=\"shift_jis\">" + kCafe1252, W1251, W1251, None, Src::Default},
        {"valid UTF-8, no declaration", "<p>" + kCafeUtf8, W1252, U8, None, Src::Bytes},
        {"byte-order mark", "\xEF\xBB\xBF<p>x</p>", W1251, U8, None, Src::Bytes},
        {"byte-order mark after an empty line", "\r\n\xEF\xBB\xBF<p>x</p>", W1251, U8, None, Src::Bytes},
        {"UTF-8 after a long ASCII run", std::string(77, 'a') + kCafeUtf8 + std::string(40, 'b'), W1252, U8, None,
         Src::Bytes},
        {"ASCII takes the default", "<p>plain</p>", W1251, W1251, None, Src::Default},
        {"invalid UTF-8 takes the default", "<p>" + kCafe1252, W1252, W1252, None, Src::Default},
        {"empty", "", W1250, W1250, None, Src::Default},
        {"declaration beyond 32 KB", padding + "<%@ CODEPAGE=65001 %>", W1252, W1252, None, Src::Default},
        // Mismatches: the bytes contradict the declaration, the page is read in what fits them.
        {"declared UTF-8, holds 1252", "<%@ CODEPAGE=65001 %>" + kCafe1252, W1252, W1252, U8, Src::Bytes},
        {"declared 1252, holds UTF-8", "<meta charset=windows-1252>" + kCafeUtf8, W1251, U8, W1252, Src::Bytes},
        {"declared 1252, undefined byte", "<meta charset=windows-1252>\x81\xE0", W1251, W1251, W1252, Src::Bytes},
        {"nothing fits: as declared", "<%@ CODEPAGE=65001 %>\x98", W1251, U8, U8, Src::Declaration},
    };
    for (const auto& c : cases) {
        const EncodingDecision d = DecideEncoding(c.bytes, c.fallback);
        EXPECT_EQ(d.codePage, c.codePage) << c.name;
        EXPECT_EQ(d.declared, c.declared) << c.name;
        EXPECT_EQ(d.source, c.source) << c.name;
        EXPECT_EQ(d.Mismatch(), c.declared && *c.declared != c.codePage) << c.name;
        // A loaded buffer decides the same.
        TempDir dir;
        WriteBytes(dir / "page.asp", c.bytes);
        CCrystalTextBuffer b;
        b.SetDefaultCodePage(c.fallback);
        ASSERT_TRUE(b.ReadFromFile(dir / "page.asp"));
        EXPECT_EQ(b.Encoding(), d) << c.name;
        EXPECT_EQ(DecideEncoding(b, c.fallback), d) << c.name;  // and so do its lines
    }
}

TEST(Encoding, CensusSeesAHighByteAtAnyOffset) {
    for (std::size_t at = 0; at < 100; ++at) {
        std::string text(100, 'x');
        text[at] = '\x9A';
        ByteCensus census;
        census.Add(text);
        EXPECT_FALSE(census.ascii) << at;
        EXPECT_TRUE(census.high[0x1A]) << at;
        EXPECT_FALSE(census.validUtf8) << at;
    }
}

TEST(Encoding, EveryByteRoundTripsInEveryCodePage) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(char(i));
    for (CodePage cp : kCodePages) {
        // Through the buffer: declared in the page, loaded and saved unchanged.
        const std::string bytes = "<%@ CODEPAGE=" + std::to_string(CodePageNumber(cp)) + " %>\r\n" + all + all;
        TempDir dir;
        WriteBytes(dir / "in.asp", bytes);
        CCrystalTextBuffer b;
        ASSERT_TRUE(b.ReadFromFile(dir / "in.asp"));
        EXPECT_EQ(b.Encoding().declared, cp);
        ASSERT_TRUE(b.WriteToFile(dir / "out.asp"));
        EXPECT_EQ(ReadBytes(dir / "out.asp"), bytes) << CodePageName(cp);
        EXPECT_EQ(CodePageFromName(CodePageName(cp)), cp);
        EXPECT_EQ(CodePageFromNumber(CodePageNumber(cp)), cp);
        if (!IsSingleByte(cp)) continue;
        // Through the characters: each byte decodes to one character that encodes back to it.
        const std::u16string text = DecodeToUtf16(cp, all);
        ASSERT_EQ(text.size(), 256u);
        EXPECT_EQ(EncodeUtf16(cp, text.data(), text.size()), all) << CodePageName(cp);
        std::string viaUtf8;
        ASSERT_TRUE(ConvertText(all, cp, U8, viaUtf8));
        std::string back;
        ASSERT_TRUE(ConvertText(viaUtf8, U8, cp, back));
        EXPECT_EQ(back, all) << CodePageName(cp);
    }
}

TEST(Encoding, TablesHoldTheLettersOfEachScript) {
    const struct {
        CodePage cp;
        unsigned char byte;
        char32_t code;
    } cases[] = {
        {W1250, 0x8A, 0x0160}, {W1250, 0xF5, 0x0151}, {W1251, 0xC0, 0x0410}, {W1251, 0xFF, 0x044F},
        {W1252, 0x80, 0x20AC}, {W1252, 0xE9, 0x00E9}, {CodePage::Windows1253, 0xC1, 0x0391},
        {CodePage::Windows1254, 0xF0, 0x011F},         {CodePage::Windows1255, 0xE0, 0x05D0},
        {CodePage::Windows1256, 0xC7, 0x0627},         {CodePage::Windows1257, 0xE0, 0x0105},
        {CodePage::Windows1258, 0xFE, 0x20AB},         {W1252, 0x81, 0x0081},  // undefined: C1 control
    };
    for (const auto& c : cases) {
        const char b = char(c.byte);
        EXPECT_EQ(DecodeChar(c.cp, &b, 1, 0).code, c.code) << CodePageName(c.cp) << " " << int(c.byte);
        std::string enc;
        EXPECT_TRUE(AppendEncoded(c.cp, c.code, enc));
        EXPECT_EQ(enc, std::string(1, b));
    }
    std::string enc;
    EXPECT_FALSE(AppendEncoded(W1251, 0xE9, enc));  // é is not Cyrillic
    EXPECT_FALSE(IsDefinedByte(W1252, 0x81));
    EXPECT_TRUE(IsDefinedByte(W1251, 0x81));
}

TEST(Encoding, ConversionRefusesWhatTheTargetCannotHold) {
    std::string out = "untouched";
    EXPECT_FALSE(ConvertText("a\xC3\xA9\xD0\x96\xD0\x96", U8, W1252, out));  // é fits, Ж does not
    EXPECT_EQ(out, "untouched");
    EXPECT_EQ(UnencodableChars("a\xC3\xA9\xD0\x96\xD0\x96\xE2\x82\xAC", U8, W1252), U"\u0416");
    EXPECT_EQ(UnencodableChars(kPrivet1251, W1251, W1252), U"\u041F\u0440\u0438\u0432\u0435\u0442");
    ASSERT_TRUE(ConvertText(kPrivet1251, W1251, U8, out));
    EXPECT_EQ(out, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    // A stray byte of a UTF-8 text is carried over as it is.
    ASSERT_TRUE(ConvertText("x\xE9y\xC3\xA9", U8, W1252, out));
    EXPECT_EQ(out, "x\xE9y\xE9");
}

TEST(Encoding, BufferConvertsKeepsPositionsAndCanBeReRead) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "<%@ CODEPAGE=1251 %>\r\n" + kPrivet1251 + " ok"));
    ASSERT_EQ(b.GetCodePage(), W1251);
    b.MarkLine(1, BookmarkBit);
    BufferFindTarget probe(b);
    probe.SetCursor(TextPosition(1, 6));  // just after Привет
    std::u32string missing;
    EXPECT_FALSE(b.ConvertToCodePage(W1252, &missing));
    EXPECT_EQ(missing.size(), 6u);
    EXPECT_FALSE(b.IsDirty());
    ASSERT_TRUE(b.ConvertToCodePage(U8, &missing));
    EXPECT_EQ(b.GetCodePage(), U8);
    EXPECT_EQ(b.Encoding().source, Src::Chosen);
    EXPECT_EQ(b.LineChars(1), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 ok");
    EXPECT_EQ(probe.Cursor(), TextPosition(1, 12));
    EXPECT_EQ(b.LineFlags(1), BookmarkBit);
    EXPECT_TRUE(b.IsDirty());
    EXPECT_FALSE(b.CanUndoStep());
    // Re-reading the same bytes in another code page changes no byte.
    EncodingDecision d = b.Encoding();
    d.codePage = W1252;
    b.SetEncoding(d);
    EXPECT_EQ(b.LineChars(1), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 ok");
    EXPECT_EQ(b.GetCodePage(), W1252);
}

TEST(Encoding, CaseInsensitiveFindFollowsTheCodePage) {
    const struct {
        CodePage cp;
        std::string line, pattern;
        int at;
    } cases[] = {
        {W1251, "x \xCF\xD0\xC8\xC2\xC5\xD2", "\xEF\xF0\xE8\xE2\xE5\xF2", 2},  // ПРИВЕТ / привет
        {W1251, "\xA8\xEB\xEA\xE0", "\xB8\xCB\xCA\xC0", 0},                     // Ёлка / ёЛКА
        {W1252, "\xCF\xD0\xC8", "\xEF\xF0\xE8", 0},                             // the same bytes are Latin letters there
        {W1250, "\x8A\xED\xF8", "\x9A\xCD\xD8", 0},                             // Šíř / šÍŘ
        {CodePage::Windows1253, "\xC1\xE2", "\xE1\xC2", 0},                     // Αβ / αΒ
        {W1252, "\xE0", "\xC0", 0},
        {W1251, "\xE0", "\xC0", 0},
        {W1251, "\xFF", "\x9F", -1},  // я is not Ÿ in Cyrillic
    };
    for (const auto& c : cases) {
        VectorLines lines({c.line});
        const auto r = FindInText(lines, c.pattern, TextPosition(0, 0), 0, false, c.cp);
        EXPECT_EQ(r.found ? r.pos.ch : -1, c.at) << CodePageName(c.cp) << " " << c.pattern;
    }
    // Text typed in the dialog (UTF-8) reaches a Windows-1251 buffer as its bytes.
    EXPECT_EQ(FromUtf8("\xD0\xBF\xD1\x80\xD0\xB8", W1251), std::optional<std::string>("\xEF\xF0\xE8"));
    EXPECT_EQ(FromUtf8("\xD0\xBF", W1252), std::nullopt);
}

}  // namespace
}  // namespace tarnwell
