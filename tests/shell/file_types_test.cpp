// The file type table and its associations, against a fake desktop.

#include "shell/file_type_name.h"
#include "shell_fixture.h"

#include <QDirIterator>
#include <QImage>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

const QString kClassicPattern = QStringLiteral(
    "*.pml;*.mp3;*.wav;*.mid;*.mpg;*.mpeg;*.mp2;*.avi;*.asf;*.m1v;*.mpa;*.mpe;*.mpv2;*.mov;*.au;*.aif;*.aifc;"
    "*.aiff;*.wmv;*.midi");

class FileTypesTest : public ::testing::Test {
protected:
    void load() { t.types->LoadFileTypes(); }
    void setStored(const QString& key, const QString& value) { t.store.save(QStringLiteral("File Types"), key, value); }
    // A table of its own: names only.
    void storeTable(const QStringList& names)
    {
        setStored(QStringLiteral("Num"), QString::number(names.size()));
        for (int n = 1; n <= names.size(); ++n) {
            setStored(fileTypeKey(n, "name"), names[n - 1]);
            setStored(fileTypeKey(n, "icon"), t.icons.iconPath(names[n - 1]));
            setStored(fileTypeKey(n, "type"), QStringLiteral("old-") + names[n - 1]);
        }
    }

    test::FakeDesktop desktop;
    test::ShellFixture t{&desktop};
};

TEST_F(FileTypesTest, FirstLoadWritesTheDefaultTableAndRegistersClassesOnly)
{
    load();
    EXPECT_EQ(t.stored(QStringLiteral("Num")), "33");
    EXPECT_EQ(t.types->MediaPattern(),
              kClassicPattern + QStringLiteral(";*.ogg;*.oga;*.opus;*.flac;*.m4a;*.aac;*.wma;*.mp4;*.m4v;*.mkv;"
                                               "*.webm;*.3gp;*.flv"));
    EXPECT_EQ(t.stored(QStringLiteral("20 name")), "midi");
    EXPECT_EQ(t.stored(QStringLiteral("2 icon")), t.current() + QStringLiteral("mp3.png"));
    EXPECT_EQ(t.stored(QStringLiteral("33 checked")), "0");
    t.icons.finishFilling();
    EXPECT_TRUE(QFile::exists(t.current() + QStringLiteral("16x16/mp3.png"))) << "current icons filled on first use";

    EXPECT_EQ(desktop.classes.size(), 33);
    EXPECT_EQ(desktop.classes.value(QStringLiteral("mp3")), t.current() + QStringLiteral("mp3.png"));
    EXPECT_TRUE(desktop.handlers.isEmpty()) << "no extension is taken over";
    EXPECT_TRUE(desktop.folderAction);
    EXPECT_EQ(t.root->ReadRegistryString(QStringLiteral("VLMR4_MP3FILE\\defaulticon"), {}),
              t.current() + QStringLiteral("mp3.png"))
        << "key paths compare without case";
    EXPECT_EQ(t.root->ReadRegistryString(QStringLiteral("vlmr4_mp3file\\shell\\open\\command"), {}),
              QStringLiteral("/opt/velmora/velmora4 %F"));
    EXPECT_EQ(t.root->ReadRegistryString(QStringLiteral("Folder\\shell\\Play clips\\command"), {}),
              QStringLiteral("/opt/velmora/velmora4 %F"))
        << "each selected folder arrives as one argument";
}

TEST_F(FileTypesTest, AStoredCountIsKeptEvenWhenZeroAndMarksComeFromTheDesktop)
{
    setStored(QStringLiteral("Num"), QStringLiteral("0"));
    load();
    EXPECT_EQ(t.types->count(), 0);
    EXPECT_TRUE(t.types->MediaPattern().isEmpty());
    EXPECT_TRUE(desktop.classes.isEmpty());

    storeTable({QStringLiteral("mp3"), QStringLiteral("wav")});
    setStored(QStringLiteral("1 checked"), QStringLiteral("1"));
    desktop.handlers[QStringLiteral("mp3")] = QStringLiteral("other.desktop");  // another program took it
    desktop.handlers[QStringLiteral("wav")] = ownHandler(QStringLiteral("wav"));
    load();
    EXPECT_FALSE(t.types->entry(1).checked);
    EXPECT_EQ(t.stored(QStringLiteral("1 checked")), "0");
    EXPECT_TRUE(t.types->entry(2).checked);
    EXPECT_EQ(t.types->MediaPattern(), "*.mp3;*.wav");
}

TEST_F(FileTypesTest, TakingOverSavesTheEarlierHandlerOnceAndGivingBackRestoresIt)
{
    storeTable({QStringLiteral("mp3")});
    setStored(QStringLiteral("1 type"), QString());
    load();
    desktop.handlers[QStringLiteral("mp3")] = QStringLiteral("mp3file");
    t.types->AssociateType(1);
    EXPECT_EQ(desktop.handlers[QStringLiteral("mp3")], ownHandler(QStringLiteral("mp3")));
    EXPECT_EQ(t.stored(QStringLiteral("1 type")), "mp3file");
    t.types->AssociateType(1);
    EXPECT_EQ(t.stored(QStringLiteral("1 type")), "mp3file") << "marking again keeps the first";
    t.types->DissociateType(1);
    EXPECT_EQ(desktop.handlers[QStringLiteral("mp3")], "mp3file");
    EXPECT_EQ(t.stored(QStringLiteral("1 checked")), "0");

    // Taken by another program in between: not ours to give back.
    t.types->AssociateType(1);
    desktop.handlers[QStringLiteral("mp3")] = QStringLiteral("VLMR4_MP3FILE");
    EXPECT_FALSE(t.shell->IsTypeAssociated(QStringLiteral("mp3"))) << "compared with case";
    t.types->DissociateType(1);
    EXPECT_EQ(desktop.handlers[QStringLiteral("mp3")], "VLMR4_MP3FILE");
}

TEST_F(FileTypesTest, AddingTakesTheTypeOverAndRefusesDuplicatesAndUnsafeNames)
{
    storeTable({QStringLiteral("mp3")});
    load();
    desktop.handlers[QStringLiteral("nsv")] = QStringLiteral("other.desktop");
    t.types->AddFileType(QStringLiteral(".nsv"));
    ASSERT_EQ(t.types->count(), 2);
    EXPECT_EQ(t.types->entry(2), (FileTypeEntry{QStringLiteral("nsv"), t.current() + QStringLiteral("nsv.png"), true}));
    EXPECT_EQ(t.stored(QStringLiteral("2 checked")), "1");
    EXPECT_EQ(t.stored(QStringLiteral("2 type")), "other.desktop");
    EXPECT_EQ(desktop.handlers[QStringLiteral("nsv")], ownHandler(QStringLiteral("nsv")));
    EXPECT_TRUE(desktop.classes.contains(QStringLiteral("nsv")));
    EXPECT_TRUE(QFile::exists(t.current() + QStringLiteral("48x48/nsv.png")));
    EXPECT_TRUE(QFile::exists(t.icons.addedFactoryFolder() + QStringLiteral("nsv.png")));
    EXPECT_EQ(t.types->MediaPattern(), "*.mp3;*.nsv");

    t.types->AddFileType(QStringLiteral("Mp4"));
    EXPECT_EQ(t.types->count(), 3);
    const QString hostile[] = {QStringLiteral("mp3"), QStringLiteral("MP3"), QStringLiteral("mP4"),
                               QStringLiteral("*"), QStringLiteral("m?v"), QStringLiteral(" mkv"),
                               QStringLiteral("mkv "), QString(), QStringLiteral("  "), QStringLiteral("../x"),
                               QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral("a") + QChar(0),
                               QStringLiteral("a=b"), QStringLiteral("[a]"), QStringLiteral("a;b"),
                               QStringLiteral("default"), QString(33, QLatin1Char('x')), QStringLiteral("..")};
    for (const QString& text : hostile)
        t.types->AddFileType(text);
    EXPECT_EQ(t.types->count(), 3);
    EXPECT_EQ(t.stored(QStringLiteral("Num")), "3");
    EXPECT_EQ(t.types->MediaPattern(), "*.mp3;*.nsv;*.Mp4");
    EXPECT_TRUE(acceptableFileTypeName(QString(32, QLatin1Char('x'))).has_value());

    // Nothing was written beside the two icon folders.
    QStringList outside;
    QDirIterator it(t.home.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.startsWith(t.current()) && !f.startsWith(t.icons.addedFactoryFolder()) && !f.startsWith(t.factory())
            && !f.contains(QStringLiteral("/config/")))
            outside << f;
    }
    EXPECT_TRUE(outside.isEmpty()) << outside.join(QLatin1Char(' ')).toStdString();
}

TEST_F(FileTypesTest, RemovingMovesTheLaterEntriesUpWithAllTheirKeys)
{
    storeTable({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("e")});
    load();
    t.types->AssociateType(5);
    desktop.handlers[QStringLiteral("c")] = ownHandler(QStringLiteral("c"));
    t.types->RemoveFileType(3);
    EXPECT_EQ(desktop.handlers[QStringLiteral("c")], "old-c") << "given back before it goes";
    EXPECT_FALSE(desktop.classes.contains(QStringLiteral("c")));
    EXPECT_EQ(t.stored(QStringLiteral("Num")), "4");
    EXPECT_EQ(t.stored(QStringLiteral("3 name")), "d");
    EXPECT_EQ(t.stored(QStringLiteral("4 name")), "e");
    EXPECT_EQ(t.stored(QStringLiteral("4 checked")), "1");
    EXPECT_EQ(t.stored(QStringLiteral("3 type")), "old-d");
    EXPECT_EQ(t.stored(QStringLiteral("4 icon")), t.icons.iconPath(QStringLiteral("e")));
    for (const char* field : {"name", "icon", "checked", "type"})
        EXPECT_EQ(t.stored(fileTypeKey(5, field)), "<none>") << field;
    EXPECT_EQ(t.types->MediaPattern(), "*.a;*.b;*.d;*.e");
    EXPECT_TRUE(t.types->entry(4).checked);

    t.types->RemoveFileType(4);
    EXPECT_EQ(t.stored(QStringLiteral("3 name")), "d") << "removing the last deletes only its keys";
    t.types->RemoveFileType(9);
    EXPECT_EQ(t.types->count(), 3);
}

TEST_F(FileTypesTest, IconsAreReplacedFromAnyPictureAndRestoredAndNeverLeaveTheirFolders)
{
    storeTable({QStringLiteral("mp3"), QStringLiteral("../victim")});
    load();
    const QString xpm = t.home.file(QStringLiteral("pick.xpm"));
    QImage red(20, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(xpm, "XPM"));
    t.types->ReplaceTypeIcon(1, xpm);
    const QImage big(t.current() + QStringLiteral("mp3.png"));
    const QImage small(t.current() + QStringLiteral("16x16/mp3.png"));
    EXPECT_EQ(big.size(), QSize(256, 256));
    EXPECT_EQ(small.size(), QSize(16, 16));
    EXPECT_EQ(big.pixelColor(128, 128), QColor(Qt::red));
    EXPECT_EQ(qAlpha(big.pixel(128, 10)), 0) << "a wide picture is centred, not stretched";

    // Neither a file that is no picture nor the current icon itself loses it.
    t.types->ReplaceTypeIcon(1, test::writeFile(t.home.file(QStringLiteral("broken.png")), "not a picture"));
    t.types->ReplaceTypeIcon(1, t.current() + QStringLiteral("mp3.png"));
    EXPECT_EQ(QImage(t.current() + QStringLiteral("mp3.png")).pixelColor(128, 128), QColor(Qt::red));

    t.types->RestoreTypeIcon(1);
    auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    EXPECT_EQ(bytes(t.current() + QStringLiteral("mp3.png")), bytes(t.factory() + QStringLiteral("mp3.png")));

    // A hand-edited table cannot aim the icon steps elsewhere.
    const QString victim = test::writeFile(t.home.file(QStringLiteral("data/velmora4/victim.png")), "keep");
    t.types->RestoreTypeIcon(2);
    t.types->RemoveFileType(2);
    EXPECT_TRUE(QFile::exists(victim));

    // An installed program's factory folder cannot be written: an added
    // type's factory copy lives with the user, and removing a type leaves
    // the program's icons alone.
    const QByteArray factoryMp3 = bytes(t.factory() + QStringLiteral("mp3.png"));
    QFile::setPermissions(t.factory(), QFile::ReadOwner | QFile::ExeOwner);
    t.types->AddFileType(QStringLiteral("nsv"));
    EXPECT_FALSE(QFile::exists(t.factory() + QStringLiteral("nsv.png"))) << "the program's folder is not written";
    t.types->ReplaceTypeIcon(2, xpm);
    t.types->RestoreTypeIcon(2);
    EXPECT_EQ(bytes(t.current() + QStringLiteral("nsv.png")), bytes(t.factory() + QStringLiteral("default.png")));
    t.types->RemoveFileType(1);
    QFile::setPermissions(t.factory(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(bytes(t.factory() + QStringLiteral("mp3.png")), factoryMp3);
}

TEST_F(FileTypesTest, UndoGivesBackOnlyWhatIsHeldAndRemovesEverything)
{
    storeTable({QStringLiteral("mp3"), QStringLiteral("wav")});
    load();
    desktop.handlers[QStringLiteral("mp3")] = QStringLiteral("old-mp3");
    t.types->AssociateType(1);
    t.types->AssociateType(2);
    desktop.handlers[QStringLiteral("wav")] = QStringLiteral("another.desktop");
    UndoShellRegistration(t.store, *t.shell);
    EXPECT_EQ(desktop.handlers[QStringLiteral("mp3")], "old-mp3");
    EXPECT_EQ(desktop.handlers[QStringLiteral("wav")], "another.desktop");
    EXPECT_TRUE(desktop.classes.isEmpty());
    EXPECT_FALSE(desktop.folderAction);
    EXPECT_EQ(t.stored(QStringLiteral("Num")), "<none>");
    EXPECT_FALSE(t.classesText().contains(QStringLiteral("[vlmr4_"))) << t.classesText().toStdString();
    EXPECT_FALSE(QFileInfo::exists(t.home.file(QStringLiteral("config")))) << "no empty settings folder is left";

    // With nothing stored only the folder verb goes.
    desktop.folderAction = true;
    UndoShellRegistration(t.store, *t.shell);
    EXPECT_FALSE(desktop.folderAction);
}

}  // namespace
