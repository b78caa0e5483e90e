#include "settings/profile_document.h"
#include "settings/profile_files.h"
#include "support/test_support.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace velmora;

namespace {
ProfileDocument doc(const char* text) { return ProfileDocument::fromBytes(QByteArray(text)); }
}  // namespace

TEST(ProfileDocument, NamesCompareWithoutCaseAndFirstOccurrenceCounts)
{
    const auto d = doc("[skin]\nMAINWIDTH=300\nmainwidth=400\n[Skin]\nMainHeight=90\n");
    EXPECT_EQ(d.readKey(u"Skin", u"MainWidth"), "300");
    // The second "Skin" section is not consulted.
    EXPECT_EQ(d.readKey(u"SKIN", u"MainHeight", QStringLiteral("none")), "none");
}

TEST(ProfileDocument, BlanksAndOnePairOfQuotesAreStripped)
{
    const auto d = doc("[Skin]\n  playleft  =   12  \nname=\"  Blue Night \"\nq='\"x\"'\nhalf=\"open\nempty=\n");
    EXPECT_EQ(d.readKey(u"Skin", u"playleft"), "12");
    EXPECT_EQ(d.readKey(u"Skin", u"name"), "  Blue Night ");
    EXPECT_EQ(d.readKey(u"Skin", u"q"), "\"x\"");
    EXPECT_EQ(d.readKey(u"Skin", u"half"), "\"open");
    EXPECT_EQ(d.readKey(u"Skin", u"empty", QStringLiteral("0")), "0");
    EXPECT_EQ(d.readKey(u"Skin", u"missing", QStringLiteral("0")), "0");
    EXPECT_EQ(d.readKey(u"Other", u"playleft", QStringLiteral("d")), "d");
}

TEST(ProfileDocument, NulCutsTheValueAndCrLfLinesRead)
{
    const QByteArray bytes("[Skin]\r\nplay=img\\play.bmp\0junk\r\nstop=stop.bmp\r\n", 46);
    const auto d = ProfileDocument::fromBytes(bytes);
    EXPECT_EQ(d.readKey(u"Skin", u"play"), "img\\play.bmp");
    EXPECT_EQ(d.readKey(u"Skin", u"stop"), "stop.bmp");
}

TEST(ProfileDocument, LongValuesAreReadWhole)
{
    const QString longValue(5000, QLatin1Char('x'));
    const auto d = ProfileDocument::fromBytes("[main]\npath=" + longValue.toUtf8() + "\n");
    EXPECT_EQ(d.readKey(u"main", u"path").size(), 5000);
}

TEST(ProfileDocument, Cp1251FileIsDecoded)
{
    const auto d = ProfileDocument::fromBytes(QByteArray("[Skin]\nName=\xD1\xE8\xED\xE8\xE9\n"));
    EXPECT_EQ(d.readKey(u"Skin", u"Name"), QStringLiteral("Синий"));
}

TEST(ProfileDocument, WriteKeyKeepsEveryOtherLine)
{
    auto d = doc("; comment\n[main]\nfiles=1\nversion=3\n\n[file1]\npath=a.mp3\n");
    d.writeKey(QStringLiteral("main"), QStringLiteral("version"), QStringLiteral("4"));
    d.writeKey(QStringLiteral("MAIN"), QStringLiteral("nextmeta"), QStringLiteral("True"));
    d.writeKey(QStringLiteral("file2"), QStringLiteral("path"), QStringLiteral("b.mp3"));
    EXPECT_EQ(QString::fromUtf8(d.toUtf8()),
              "; comment\n[main]\nfiles=1\nversion=4\nnextmeta=True\n\n[file1]\npath=a.mp3\n\n[file2]\npath=b.mp3\n");
    EXPECT_EQ(d.readKey(u"main", u"nextmeta"), "True");
    EXPECT_EQ(d.readKey(u"file2", u"path"), "b.mp3");
}

TEST(ProfileDocument, QuotedWritesReadBackUnchanged)
{
    const QStringList values = {QStringLiteral("  two blanks"), QStringLiteral("end "),
                                QStringLiteral("\"quoted\""), QStringLiteral("'x"), QStringLiteral("plain")};
    ProfileDocument d;
    for (int i = 0; i < values.size(); ++i)
        d.writeKey(QStringLiteral("s"), QStringLiteral("k%1").arg(i), ProfileDocument::quoteForWrite(values[i]));
    const auto back = ProfileDocument::fromBytes(d.toUtf8());
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(back.readKey(u"s", QStringLiteral("k%1").arg(i)), values[i]);
    EXPECT_EQ(ProfileDocument::quoteForWrite(QStringLiteral("a\nb")), "a b");
}

TEST(ProfileFiles, ReadsFromDiskAndSeesRewrites)
{
    test::TempHome home;
    const QString file = test::writeFile(home.file(QStringLiteral("skin/skin.ini")), "[Skin]\nMainWidth=300\n");
    ProfileFiles files;
    EXPECT_EQ(files.readKey(QStringLiteral("Skin"), QStringLiteral("MainWidth"), file), "300");
    EXPECT_TRUE(files.writeKey(QStringLiteral("Skin"), QStringLiteral("MainWidth"), QStringLiteral("320"), file));
    EXPECT_EQ(files.readKey(QStringLiteral("Skin"), QStringLiteral("MainWidth"), file), "320");
    EXPECT_EQ(files.readKey(QStringLiteral("Skin"), QStringLiteral("X"), home.file(QStringLiteral("none.ini")),
                            QStringLiteral("0")),
              "0");
}

TEST(ProfileFiles, FailedWriteLeavesTheFileAlone)
{
    test::TempHome home;
    test::writeFile(home.file(QStringLiteral("blocked")), "x");
    ProfileFiles files;
    EXPECT_FALSE(files.writeKey(QStringLiteral("main"), QStringLiteral("files"), QStringLiteral("0"),
                                home.file(QStringLiteral("blocked/list.pml"))));
}

TEST(ProfileDocument, WritingSectionAfterSectionReadsBackAndCountsSections)
{
    ProfileDocument d;
    d.writeKey(QStringLiteral("main"), QStringLiteral("files"), QStringLiteral("2"));
    d.writeKey(QStringLiteral("main"), QStringLiteral("version"), QStringLiteral("4"));
    d.writeKey(QStringLiteral("file1"), QStringLiteral("path"), QStringLiteral("a.mp3"));
    d.writeKey(QStringLiteral("file1"), QStringLiteral("text"), QStringLiteral("a"));
    d.writeKey(QStringLiteral("file2"), QStringLiteral("path"), QStringLiteral("b.mp3"));
    // Back into an earlier section: inserted inside it, not at the end.
    d.writeKey(QStringLiteral("file1"), QStringLiteral("deep"), QStringLiteral("1"));
    EXPECT_EQ(d.sectionCount(), 3);
    EXPECT_EQ(d.toUtf8(), QByteArray("[main]\nfiles=2\nversion=4\n\n[file1]\npath=a.mp3\ntext=a\ndeep=1\n\n"
                                     "[file2]\npath=b.mp3\n"));
    const auto back = ProfileDocument::fromBytes(d.toUtf8());
    EXPECT_EQ(back.readKey(u"file1", u"deep"), "1");
    EXPECT_EQ(back.readKey(u"file2", u"path"), "b.mp3");
    EXPECT_EQ(back.sectionCount(), 3);
}

TEST(ProfileDocument, CopiesOutliveTheOriginalAndRewrittenLines)
{
    auto original = std::make_unique<ProfileDocument>(doc("[Main]\nFiles=2\n[file1]\npath = a.mp3 \n"));
    ProfileDocument copy = *original;
    original->writeKey(QStringLiteral("file1"), QStringLiteral("path"), QStringLiteral("b.mp3"));
    original.reset();
    EXPECT_EQ(copy.readKey(u"main", u"files"), "2");
    EXPECT_EQ(copy.readKey(u"FILE1", u"PATH"), "a.mp3");
    copy.writeKey(QStringLiteral("file1"), QStringLiteral("text"), QStringLiteral("A"));
    copy.writeKey(QStringLiteral("Main"), QStringLiteral("version"), QStringLiteral("4"));
    EXPECT_EQ(copy.toUtf8(), QByteArray("[Main]\nFiles=2\nversion=4\n[file1]\npath = a.mp3 \ntext=A\n"));
    const ProfileDocument::SectionView s = copy.section(u"file1");
    EXPECT_TRUE(s.exists());
    EXPECT_EQ(s.readKey(u"text"), "A");
    EXPECT_EQ(s.readKey(u"deep", QStringLiteral("1")), "1");
    EXPECT_FALSE(copy.section(u"file2").exists());
}

TEST(ProfileDocument, LargeSectionsFindEveryKey)
{
    QByteArray text = "[Skin]\n";
    for (int i = 0; i < 100; ++i)
        text += "Key" + QByteArray::number(i) + "=" + QByteArray::number(i * 7) + "\n";
    text += "key5=duplicate\n";
    auto d = ProfileDocument::fromBytes(text);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(d.readKey(u"skin", QStringLiteral("KEY%1").arg(i)), QString::number(i * 7));
    d.writeKey(QStringLiteral("Skin"), QStringLiteral("new"), QStringLiteral("x"));
    d.writeKey(QStringLiteral("Skin"), QStringLiteral("key50"), QStringLiteral("y"));
    EXPECT_EQ(d.readKey(u"Skin", u"new"), "x");
    EXPECT_EQ(d.readKey(u"Skin", u"Key50"), "y");
    EXPECT_EQ(d.readKey(u"Skin", u"Key99"), "693");
}

TEST(ProfileWriter, WritesTheLayoutTheDocumentReads)
{
    ProfileWriter w;
    w.section(QStringLiteral("main"));
    w.key(QStringLiteral("files"), QStringLiteral("1"));
    w.section(QStringLiteral("file1"));
    w.key(QStringLiteral("text"), ProfileDocument::quoteForWrite(QStringLiteral(" Песня ")));
    EXPECT_EQ(w.bytes(), QByteArray("[main]\nfiles=1\n\n[file1]\ntext=\" Песня \"\n"));
    const auto back = ProfileDocument::fromBytes(w.bytes());
    EXPECT_EQ(back.readKey(u"file1", u"text"), " Песня ");
    test::TempHome home;
    EXPECT_TRUE(w.saveTo(home.file(QStringLiteral("w.ini"))));
    EXPECT_FALSE(w.saveTo(home.file(QStringLiteral("missing/w.ini"))));
}

TEST(ProfileDocument, ReadingInFileOrderStillFindsTheFirstOfRepeatedSections)
{
    const auto d = doc("[a]\nk=1\n[b]\nk=2\n[A]\nk=3\n[c]\nk=4\n");
    EXPECT_EQ(d.readKey(u"a", u"k"), "1");
    EXPECT_EQ(d.readKey(u"b", u"k"), "2");
    EXPECT_EQ(d.readKey(u"a", u"k"), "1");  // the section after b is a repeated "a"
    EXPECT_EQ(d.readKey(u"c", u"k"), "4");
    EXPECT_EQ(d.readKey(u" C ", u"K"), "4");
}

TEST(ProfileDocument, RemovingAKeyKeepsEveryOtherLineAndNamesOutliveTheDocument)
{
    QStringList sections, keys;
    QByteArray text;
    {
        ProfileDocument doc = ProfileDocument::fromBytes(
            "# kept\n[Default Applications]\naudio/mpeg=a.desktop;\ntext/plain=b.desktop;\n\n[Added]\nx=1\n");
        EXPECT_TRUE(doc.removeKey(u"default applications", u"AUDIO/MPEG"));
        EXPECT_FALSE(doc.removeKey(u"Added", u"missing"));
        EXPECT_EQ(doc.readKey(u"Added", u"x"), "1");
        sections = doc.sectionNames();
        keys = doc.keyNames(u"Default Applications");
        text = doc.toUtf8();
    }
    EXPECT_EQ(sections, (QStringList{QStringLiteral("Default Applications"), QStringLiteral("Added")}));
    EXPECT_EQ(keys, QStringList{QStringLiteral("text/plain")});
    EXPECT_EQ(text, "# kept\n[Default Applications]\ntext/plain=b.desktop;\n\n[Added]\nx=1\n");
}
