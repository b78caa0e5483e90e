// The add-files window's folder tree under Qt's own model checker: every
// node walked, then folders made and removed while the checker watches the
// signals the tree sends as it follows the file system. All places lie in a
// temporary folder, the file-system root included, so the walk ends.

#include "playlist/adding/desktop_tree.h"
#include "support/test_support.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFileSystemModel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

QStringList modelFaults;

void collectModelFaults(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && context.category && QByteArray(context.category) == "qt.modeltest")
        modelFaults << message;
}

QStringList childLabels(const QAbstractItemModel& model, const QModelIndex& parent)
{
    QStringList labels;
    for (int r = 0; r < model.rowCount(parent); ++r)
        labels << model.index(r, 0, parent).data().toString();
    return labels;
}

TEST(DesktopTreeTest, KeepsQtsModelRulesWhileFoldersComeAndGo)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    for (const char* rel : {"Desktop/Clips/Old", "Desktop/Talks", "home/Music/10", "home/Music/9", "root/usr/share",
                            "media/stick/Films"})
        ASSERT_TRUE(QDir().mkpath(base + QLatin1Char('/') + QString::fromUtf8(rel)));

    QFileSystemModel source;
    source.setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    source.setRootPath(base);
    DesktopTreeModel tree(source, {base + "/Desktop", base + "/home", {base + "/media/stick"}, base + "/root"});

    modelFaults.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectModelFaults);
    {
        QAbstractItemModelTester checker(&tree, QAbstractItemModelTester::FailureReportingMode::Warning);
        const QModelIndex desktop = tree.topIndex();
        ASSERT_TRUE(test::waitFor([&] { return childLabels(tree, desktop).size() == 5; }));
        EXPECT_EQ(childLabels(tree, desktop),
                  QStringList({"Clips", "Talks", "home", base + "/root", "stick"}));

        // Folders made and removed where the tree shows them.
        ASSERT_TRUE(QDir().mkpath(base + "/Desktop/New"));
        EXPECT_TRUE(test::waitFor([&] { return childLabels(tree, desktop).contains("New"); }));
        ASSERT_TRUE(QDir(base + "/Desktop/Talks").removeRecursively());
        EXPECT_TRUE(test::waitFor([&] { return !childLabels(tree, desktop).contains("Talks"); }));
        const QModelIndex music = tree.indexForFolder(base + "/home/Music");
        ASSERT_TRUE(test::waitFor([&] { return childLabels(tree, music).size() == 2; }));
        EXPECT_EQ(childLabels(tree, music), QStringList({"9", "10"})) << "natural order";
        ASSERT_TRUE(QDir().mkpath(base + "/home/Music/8"));
        EXPECT_TRUE(test::waitFor([&] { return childLabels(tree, music) == QStringList({"8", "9", "10"}); }));
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(modelFaults.isEmpty()) << modelFaults.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
