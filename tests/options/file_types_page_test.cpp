// The "Типы файлов" page: against a fake table for the page's own rules,
// and against the real table in temporary XDG folders.

#include "options/file_types_page.h"
#include "options/options_fakes.h"
#include "options/shell_file_types.h"
#include "shell/freedesktop_projection.h"
#include "shell/shell_fixture.h"
#include "support/test_support.h"

#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::waitFor;

namespace {

QStringList itemTexts(QListWidget& list, bool onlyMarked = false)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i) {
        if (!onlyMarked || list.item(i)->checkState() == Qt::Checked)
            out << list.item(i)->text();
    }
    return out;
}

bool iconShown(FileTypesPage& page) { return !page.typeIcon().pixmap().isNull(); }

class FileTypesPageTest : public ::testing::Test {
protected:
    FileTypesPageTest()
    {
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::darkCyan);
        iconFile = home.file(QStringLiteral("mp3.png"));
        picture.save(iconFile);
    }
    void add(QString text)
    {
        page.newFileType().setText(text);
        page.button("AddType").click();
    }

    test::TempHome home;
    QString iconFile;
    test::FakeFileTypes types;
    FileTypesPage page{types};
};

}  // namespace

TEST_F(FileTypesPageTest, TheCurrentItemsMarkTakesTheTypeOverOrGivesItBack)
{
    types.entries = {{QStringLiteral("mp3"), iconFile, true}, {QStringLiteral("wav"), {}, false},
                     {QStringLiteral("ogg"), home.file(QStringLiteral("missing.png")), false}};
    page.fill();
    QListWidget& list = page.list();
    EXPECT_EQ(itemTexts(list), (QStringList{QStringLiteral("mp3"), QStringLiteral("wav"), QStringLiteral("ogg")}));
    EXPECT_EQ(itemTexts(list, true), QStringList{QStringLiteral("mp3")});
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_TRUE(iconShown(page));
    EXPECT_TRUE(types.calls.isEmpty()) << "opening applies nothing";

    list.item(1)->setCheckState(Qt::Checked);  // a click on the box of another item
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_FALSE(iconShown(page)) << "no icon path";
    list.setCurrentRow(2);
    EXPECT_FALSE(iconShown(page)) << "a missing icon file";
    EXPECT_EQ(page.mimeTypes().text(), QStringLiteral("MIME: audio/x-ogg")) << "what marking it claims";
    list.setCurrentRow(0);
    EXPECT_TRUE(iconShown(page));
    list.item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(types.calls, (QStringList{QStringLiteral("associate 2"), QStringLiteral("dissociate 3"),
                                        QStringLiteral("associate 1"), QStringLiteral("dissociate 1")}));
}

TEST_F(FileTypesPageTest, ButtonsAddRemoveAndChangeIconsOfTheCurrentType)
{
    page.fill();
    for (const char* idle : {"RemoveType", "SelectIcon", "DefaultIcon", "SelectAll", "UnSelectAll"})
        page.button(idle).click();
    EXPECT_TRUE(types.calls.isEmpty()) << "an empty table: nothing to act on";
    EXPECT_EQ(page.findChild<QFileDialog*>(), nullptr);

    add(QStringLiteral("mp3"));
    add(QStringLiteral("mp3"));
    add({});
    add(QStringLiteral("ogg"));
    add(QStringLiteral("wav"));
    EXPECT_EQ(itemTexts(page.list(), true),
              (QStringList{QStringLiteral("mp3"), QStringLiteral("ogg"), QStringLiteral("wav")}));
    EXPECT_EQ(page.newFileType().text(), QStringLiteral("wav")) << "the text box keeps its text";

    types.calls.clear();
    page.list().setCurrentRow(1);
    page.button("RemoveType").click();
    EXPECT_EQ(itemTexts(page.list()), (QStringList{QStringLiteral("mp3"), QStringLiteral("wav")}));
    page.list().setCurrentRow(0);
    page.show();
    page.button("SelectIcon").click();
    test::chooseInFileDialog(page, "IconSelect", iconFile);
    page.button("DefaultIcon").click();
    EXPECT_EQ(types.calls, (QStringList{QStringLiteral("associate 2"), QStringLiteral("remove 2"),
                                        QStringLiteral("associate 1"), QStringLiteral("icon 1 ") + iconFile,
                                        QStringLiteral("default icon 1")}));

    types.calls.clear();
    page.list().setCurrentRow(1);
    page.button("UnSelectAll").click();
    EXPECT_TRUE(itemTexts(page.list(), true).isEmpty());
    EXPECT_EQ(page.list().currentRow(), 0);
    page.button("SelectAll").click();
    EXPECT_EQ(itemTexts(page.list(), true).size(), 2);
    EXPECT_EQ(types.calls, (QStringList{QStringLiteral("associate 2"), QStringLiteral("dissociate 1"),
                                        QStringLiteral("dissociate 2"), QStringLiteral("associate 1"),
                                        QStringLiteral("associate 2")}));
}

// The real table: a mark is stored and reaches the desktop's defaults, and
// a page filled again shows the marks as last set.
TEST(FileTypesPageOnTheDesktop, MarksAndNewTypesReachTheSettingsAndTheDesktop)
{
    test::ShellFixture shell(nullptr);
    FreedesktopProjection desktop(shell.home.file(QStringLiteral("bin/velmora4")),
                                  FreedesktopProjection::Folders::fromEnvironment());
    shell.build(&desktop, shell.home.file(QStringLiteral("bin/velmora4")));
    shell.types->LoadFileTypes();
    ShellFileTypes operations(*shell.types);
    auto page = std::make_unique<FileTypesPage>(operations);
    page->fill();
    ASSERT_EQ(page->list().count(), shell.types->count());
    const int mp3 = static_cast<int>(itemTexts(page->list()).indexOf(QStringLiteral("mp3")));
    ASSERT_GE(mp3, 0);
    EXPECT_TRUE(itemTexts(page->list(), true).isEmpty()) << "nothing taken over on a first run";

    page->list().item(mp3)->setCheckState(Qt::Checked);
    EXPECT_EQ(shell.stored(QStringLiteral("%1 checked").arg(mp3 + 1)), QStringLiteral("1"));
    EXPECT_TRUE(shell.shell->IsTypeAssociated(QStringLiteral("mp3")));
    page->list().item(mp3)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(shell.stored(QStringLiteral("%1 checked").arg(mp3 + 1)), QStringLiteral("0"));
    EXPECT_FALSE(shell.shell->IsTypeAssociated(QStringLiteral("mp3")));
    page->list().item(mp3)->setCheckState(Qt::Checked);

    page->newFileType().setText(QStringLiteral("xyz"));
    page->button("AddType").click();
    EXPECT_EQ(itemTexts(page->list()).last(), QStringLiteral("xyz"));
    EXPECT_TRUE(shell.shell->IsTypeAssociated(QStringLiteral("xyz")));

    page = std::make_unique<FileTypesPage>(operations);
    page->fill();
    EXPECT_EQ(itemTexts(page->list(), true), (QStringList{QStringLiteral("mp3"), QStringLiteral("xyz")}));
    desktop.waitForTools(30000);
}
