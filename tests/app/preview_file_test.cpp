// Preview files over real temporary folders: names, folders, URLs through a project's web path,
// the web-path question and its switch, failures, and clean-up.
#include "app/PreviewFile.h"
#include "platform/MemoryProfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <regex>

namespace fs = std::filesystem;
using namespace tarnwell;

namespace {

class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("tarnwell_pvw_" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

class StandInProject : public PreviewProject {
public:
    std::string webPath;
    std::string projectFile;
    std::string WebPath() const override { return webPath; }
    std::string ProjectFilePath() const override { return projectFile; }
};

class TestHost : public PreviewHost {
public:
    StandInProject* project = nullptr;
    std::string text = "<html><body>preview</body></html>\r\n";
    std::string temp;
    WebPathAnswer answer = WebPathAnswer::No;
    bool tickCheck = false;
    bool editResult = false;
    std::string webPathAfterEdit;
    bool failWrites = false;
    int asked = 0, edited = 0, failures = 0, writes = 0;

    const PreviewProject* OpenProject() override { return project; }
    WebPathAnswer AskForWebPath(bool& check) override {
        ++asked;
        EXPECT_FALSE(check);
        check = tickCheck;
        return answer;
    }
    bool EditProjectWebPath() override {
        ++edited;
        if (editResult && project) project->webPath = webPathAfterEdit;
        return editResult;
    }
    bool WriteDocumentText(const std::string& path) override {
        ++writes;
        if (failWrites) return false;
        std::ofstream out(path, std::ios::binary);
        out << text;
        return bool(out);
    }
    void ReportPreviewFailure() override { ++failures; }
    std::string TempFolder() override { return temp; }
};

std::vector<fs::path> PreviewFilesIn(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (IsPreviewFileName(e.path().filename().string())) found.push_back(e.path());
    return found;
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

PreviewNumberSource Sequence(std::vector<unsigned> numbers) {
    auto state = std::make_shared<std::pair<std::vector<unsigned>, size_t>>(std::move(numbers), 0);
    return [state]() {
        unsigned n = state->first[state->second % state->first.size()];
        ++state->second;
        return n;
    };
}

}  // namespace

TEST(PreviewNames, FormatAndRecognise) {
    fs::path name = PreviewFileName("folder", 0x1A, ".htm");
    EXPECT_EQ(name.filename().string(), "~PVW001A.htm");
    EXPECT_EQ(name.parent_path().string(), "folder");
    EXPECT_EQ(fs::path(PreviewFileName("f", 32767, ".aspx")).filename().string(), "~PVW7FFF.aspx");
    EXPECT_TRUE(IsPreviewFileName("~pvw12AB.asp"));
    EXPECT_TRUE(IsPreviewFileName("~PVW"));
    EXPECT_FALSE(IsPreviewFileName("~PV"));
    EXPECT_FALSE(IsPreviewFileName("x~PVW0000.htm"));
}

TEST(PreviewNames, WebPathJoin) {
    EXPECT_EQ(JoinWebPath("http://localhost/site/", "a.asp"), "http://localhost/site/a.asp");
    EXPECT_EQ(JoinWebPath("http://localhost/site// / ", "sub/a.asp"), "http://localhost/site/sub/a.asp");
    EXPECT_EQ(JoinWebPath("http://localhost/site", "a.asp"), "http://localhost/site/a.asp");
}

TEST(PreviewNames, TimeSeededNumbersStayInRange) {
    PreviewNumberSource numbers = TimeSeededNumbers();
    for (int i = 0; i < 1000; ++i) EXPECT_LT(numbers(), 32768u);
}

TEST(PreviewPlain, UntitledPageWithoutProjectGoesToTheTemporaryFolder) {
    TempFolder tmp;
    TestHost host;
    host.temp = tmp.Path().string();
    MemoryProfile messages;
    PreviewFile result = MakePreviewFile("", host, messages);
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.isFile);
    EXPECT_EQ(result.url, result.path);
    fs::path p(result.path);
    EXPECT_EQ(p.parent_path(), tmp.Path());
    EXPECT_TRUE(std::regex_match(p.filename().string(), std::regex("~PVW[0-9A-F]{4}\\.htm")));
    EXPECT_EQ(ReadAll(p), host.text);
    EXPECT_TRUE(DeletePreviewFile(result.path));
    EXPECT_TRUE(PreviewFilesIn(tmp.Path()).empty());
    EXPECT_TRUE(DeletePreviewFile(result.path));  // already gone: nothing to do
    EXPECT_EQ(messages.ValueCount(), 0u);
}

TEST(PreviewPlain, HtmlPageOfAProjectIsAPlainFileBesideIt) {
    TempFolder tmp;
    fs::create_directories(tmp.Path() / "sub");
    StandInProject project;
    project.webPath = "http://localhost/site/";
    project.projectFile = (tmp.Path() / "site.twp").string();
    TestHost host;
    host.project = &project;
    MemoryProfile messages;
    PreviewFile result = MakePreviewFile((tmp.Path() / "sub" / "page.HTML").string(), host, messages);
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.isFile);
    EXPECT_EQ(fs::path(result.path).parent_path(), tmp.Path() / "sub");
    EXPECT_EQ(fs::path(result.path).extension(), ".htm");
    EXPECT_EQ(host.asked, 0);
}

TEST(PreviewProjectPages, AspInSubfolderGoesThroughTheWebPath) {
    TempFolder tmp;
    fs::create_directories(tmp.Path() / "sub");
    StandInProject project;
    project.webPath = "http://localhost/site/";
    project.projectFile = (tmp.Path() / "site.twp").string();
    TestHost host;
    host.project = &project;
    MemoryProfile messages;
    PreviewFile result = MakePreviewFile((tmp.Path() / "sub" / "page.asp").string(), host, messages, Sequence({0xBEE}));
    ASSERT_TRUE(result.ok);
    EXPECT_FALSE(result.isFile);
    EXPECT_EQ(fs::path(result.path), tmp.Path() / "sub" / "~PVW0BEE.asp");
    std::string sep(1, char(fs::path::preferred_separator));
    EXPECT_EQ(result.url, "http://localhost/site/sub" + sep + "~PVW0BEE.asp");
    EXPECT_TRUE(fs::exists(result.path));

    // ASP.NET pages keep their extension; an untitled page is written beside the project file.
    PreviewFile net = MakePreviewFile((tmp.Path() / "x.aspx").string(), host, messages, Sequence({1}));
    ASSERT_TRUE(net.ok);
    EXPECT_EQ(net.url, "http://localhost/site/~PVW0001.aspx");
    PreviewFile untitled = MakePreviewFile("", host, messages, Sequence({2}));
    ASSERT_TRUE(untitled.ok);
    EXPECT_EQ(untitled.url, "http://localhost/site/~PVW0002.asp");
    EXPECT_EQ(fs::path(untitled.path).parent_path(), tmp.Path());
    EXPECT_EQ(host.asked, 0);
}

TEST(PreviewProjectPages, TakenNamesAreSkipped) {
    TempFolder tmp;
    std::ofstream(tmp.Path() / "~PVW0005.htm") << "someone else's";
    TestHost host;
    MemoryProfile messages;
    PreviewFile result = MakePreviewFile((tmp.Path() / "a.htm").string(), host, messages, Sequence({5, 5, 6}));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(fs::path(result.path).filename(), "~PVW0006.htm");
    EXPECT_EQ(ReadAll(tmp.Path() / "~PVW0005.htm"), "someone else's");
}

TEST(PreviewWebPathQuestion, NoPreviewsPlainAndTheSwitchFollowsTheCheckBox) {
    TempFolder tmp;
    StandInProject project;
    project.projectFile = (tmp.Path() / "site.twp").string();
    TestHost host;
    host.project = &project;
    MemoryProfile messages;
    std::string page = (tmp.Path() / "a.asp").string();

    host.answer = WebPathAnswer::No;
    PreviewFile plain = MakePreviewFile(page, host, messages);
    ASSERT_TRUE(plain.ok);
    EXPECT_TRUE(plain.isFile);
    EXPECT_EQ(fs::path(plain.path).extension(), ".htm");
    EXPECT_EQ(messages.GetInt("Messages", kWarnPreviewNoWebPath, -1), 1);

    host.tickCheck = true;
    EXPECT_TRUE(MakePreviewFile(page, host, messages).ok);
    EXPECT_EQ(messages.GetInt("Messages", kWarnPreviewNoWebPath, -1), 0);
    EXPECT_EQ(host.asked, 2);

    // Switched off: no question, plain preview.
    host.answer = WebPathAnswer::Cancel;
    EXPECT_TRUE(MakePreviewFile(page, host, messages).ok);
    EXPECT_EQ(host.asked, 2);
}

TEST(PreviewWebPathQuestion, CancelAndUnfinishedEditFailWithoutMessage) {
    TempFolder tmp;
    StandInProject project;
    project.projectFile = (tmp.Path() / "site.twp").string();
    TestHost host;
    host.project = &project;
    MemoryProfile messages;
    std::string page = (tmp.Path() / "a.asp").string();

    host.answer = WebPathAnswer::Cancel;
    EXPECT_FALSE(MakePreviewFile(page, host, messages).ok);

    host.answer = WebPathAnswer::Yes;
    host.editResult = false;
    EXPECT_FALSE(MakePreviewFile(page, host, messages).ok);

    host.editResult = true;
    host.webPathAfterEdit = "";  // OK with the web path still empty
    EXPECT_FALSE(MakePreviewFile(page, host, messages).ok);
    EXPECT_EQ(host.edited, 2);
    EXPECT_EQ(host.failures, 0);
    EXPECT_TRUE(PreviewFilesIn(tmp.Path()).empty());

    host.webPathAfterEdit = "http://server/app";
    PreviewFile result = MakePreviewFile(page, host, messages, Sequence({0x10}));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.url, "http://server/app/~PVW0010.asp");
}

TEST(PreviewFailures, MissingFolderAndFailedWriteTellTheUser) {
    TempFolder tmp;
    TestHost host;
    MemoryProfile messages;
    EXPECT_FALSE(MakePreviewFile((tmp.Path() / "gone" / "a.htm").string(), host, messages).ok);
    EXPECT_EQ(host.failures, 1);
    EXPECT_EQ(host.writes, 0);

    host.failWrites = true;
    EXPECT_FALSE(MakePreviewFile((tmp.Path() / "a.htm").string(), host, messages).ok);
    EXPECT_EQ(host.failures, 2);
    EXPECT_TRUE(PreviewFilesIn(tmp.Path()).empty());

    host.failWrites = false;
    host.temp = "";  // no temporary folder
    EXPECT_FALSE(MakePreviewFile("", host, messages).ok);
    EXPECT_EQ(host.failures, 3);
}

TEST(PreviewFailures, AFolderWithEveryNameTakenDoesNotHang) {
    TempFolder tmp;
    std::ofstream(tmp.Path() / "~PVW0003.htm") << "x";
    TestHost host;
    MemoryProfile messages;
    EXPECT_FALSE(MakePreviewFile((tmp.Path() / "a.htm").string(), host, messages, Sequence({3})).ok);
    EXPECT_EQ(host.failures, 1);
}

TEST(PreviewFailures, PageOutsideTheProjectFolderStillGetsAUrl) {
    TempFolder tmp;
    fs::create_directories(tmp.Path() / "proj");
    fs::create_directories(tmp.Path() / "other");
    StandInProject project;
    project.webPath = "http://h/p";
    project.projectFile = (tmp.Path() / "proj" / "p.twp").string();
    TestHost host;
    host.project = &project;
    MemoryProfile messages;
    PreviewFile r = MakePreviewFile((tmp.Path() / "other" / "a.asp").string(), host, messages, Sequence({7}));
    ASSERT_TRUE(r.ok);
    std::string sep(1, char(fs::path::preferred_separator));
    EXPECT_EQ(r.url, "http://h/p/.." + sep + "other" + sep + "~PVW0007.asp");
}
