// The explorer's tree view over 20,000 files in 2,000 folders: a fill as a project opens it (the
// status-bar progress told as it goes), with the first picture of the tree and its file-type images.
#include "platform/MemoryProfile.h"
#include "project/CProjectTree.h"

#include "ExplorerSite.h"

#include <benchmark/benchmark.h>

#include <QApplication>

using namespace tarnwell;

namespace {

void BM_FillViewWithIcons(benchmark::State& state) {
    MemoryProfile profile;
    CProjectTree tree(profile);
    tree.resize(300, 900);
    tree.show();
    for (auto _ : state) {
        int progress = 0;
        if (!tree.Fill(Site(), [&](int percent) { progress = percent; })) state.SkipWithError("fill failed");
        tree.SetRootText(QStringLiteral("site"));
        tree.expand(tree.Model().IndexOf(tree.Tree().Root()->children.front().get()));
        const QPixmap shot = tree.grab();  // paints every visible row with its image
        if (progress != 100 || shot.isNull()) state.SkipWithError("no progress or picture");
    }
}
BENCHMARK(BM_FillViewWithIcons)->Unit(benchmark::kMillisecond);

}  // namespace
