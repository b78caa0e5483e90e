// Playlists of other players on the add path: each format's examples,
// relative and absolute paths, URLs, missing files, encodings, broken files
// and cycles through lists of mixed formats.

#include "base/file_name.h"
#include "playlist/foreign_playlist.h"
#include "playlist/list_files.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_model.h"
#include "playlist_test_util.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace velmora;
using velmora::test::table;

namespace {

struct ListFixture : ::testing::Test {
    test::TempHome home;
    QString dir = home.path();
    QString at(const QString& name) const { return dir + QLatin1Char('/') + name; }
    void SetUp() override
    {
        for (const char* clip : {"a.mp3", "b b.ogg", "sub/c.wav", "песня.mp3"})
            test::writeFile(at(QString::fromUtf8(clip)), "x");
    }
    QStringList paths(const PlaylistModel& m) const
    {
        QStringList out;
        for (int i = 1; i <= m.playlistCount(); ++i)
            out << QString(m.entry(i).path).replace(dir, QStringLiteral("~"));
        return out;
    }
};

TEST_F(ListFixture, M3uTitlesPathsAndUrls)
{
    const QByteArray url = QUrl::fromLocalFile(at("b b.ogg")).toEncoded();
    test::writeFile(at("list/mix.M3U"), "\xEF\xBB\xBF#EXTM3U\r\n"
                                        "#EXTINF:12 tvg-name=\"x,y\",First, with comma\r\n"
                                        "../a.mp3\r\n"
                                        "\r\n# a comment\r\n"
                                        "http://example.com/stream.mp3\r\n"
                                        "../missing.mp3\r\n"
                                        + url + "\r\n"
                                        "..\\sub\\c.wav\r\n"
                                        "#EXTINF:5,Orphan title for a skipped entry\r\n"
                                        "/no/such/file.mp3\r\n"
                                        + at("a.mp3").toUtf8() + "\n");
    PlaylistModel m;
    EXPECT_EQ(m.addPath(at("list/mix.M3U")), 7);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:mix.M3U", "3:First, with comma",
                                     "3:http://example.com/stream.mp3", "3:b b.ogg", "3:c.wav", "3:a.mp3"}))
        << "the title of a skipped entry does not pass to the next one";
    EXPECT_EQ(paths(m), QStringList({"", "", "~/a.mp3", "http://example.com/stream.mp3", "~/b b.ogg", "~/sub/c.wav",
                                     "~/a.mp3"}));
    EXPECT_TRUE(test::isWellFormedTree(m));
}

TEST_F(ListFixture, M3uEncodings)
{
    // CP1251 for ".m3u" text that is not UTF-8; ".m3u8" is UTF-8.
    test::writeFile(at("cp.m3u"), "#EXTINF:1,\xEF\xE5\xF1\xED\xFF\n\xEF\xE5\xF1\xED\xFF.mp3\n");
    test::writeFile(at("utf.m3u8"), "#EXTINF:1,Песня\nпесня.mp3\n");
    PlaylistModel m;
    m.addPath(at("cp.m3u"));
    m.addPath(at("utf.m3u8"), AddOptions::at(1).withText(QStringLiteral("named")));
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:cp.m3u", "3:песня", "2:named", "3:Песня"}));
    EXPECT_EQ(m.entry(3).path, at("песня.mp3"));
    EXPECT_EQ(m.entry(5).path, at("песня.mp3"));
}

TEST_F(ListFixture, NamesThatAreNotUtf8AreFoundByTheirBytes)
{
    const QString odd = fileNameFromBytes(QByteArray(dir.toUtf8() + "/caf\xE9.mp3"));
    ASSERT_EQ(::close(::open(fileNameBytes(odd).constData(), O_CREAT | O_WRONLY, 0600)), 0);
    test::writeFile(at("odd.m3u8"), "caf\xE9.mp3\n");
    test::writeFile(at("odd.xspf"), "<playlist><trackList><track><location>caf%E9.mp3</location></track>"
                                    "</trackList></playlist>");
    PlaylistModel m;
    m.addPath(at("odd.m3u8"));
    m.addPath(at("odd.xspf"));
    ASSERT_EQ(m.playlistCount(), 5);
    EXPECT_EQ(m.entry(3).path, odd);
    EXPECT_EQ(m.entry(5).path, odd);
    ::unlink(fileNameBytes(odd).constData());  // a name the temporary folder cannot remove
}

TEST_F(ListFixture, PlsInNumberOrderWithTitles)
{
    test::writeFile(at("radio.pls"), "[playlist]\nNumberOfEntries=1\n"
                                     "File3=sub/c.wav\n"
                                     "File1=a.mp3\nTitle1=Song A\n"
                                     "File2=https://example.com/live\nTitle2=Live\n"
                                     "File5=" + QUrl::fromLocalFile(at("b b.ogg")).toEncoded() + "\n"
                                     "Version=2\n");
    PlaylistModel m;
    m.addPath(at("radio.pls"));
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:radio.pls", "3:Song A", "3:Live", "3:c.wav", "3:b b.ogg"}))
        << "a wrong NumberOfEntries and gaps in the numbering lose nothing";
}

TEST_F(ListFixture, XspfLocationsAreUris)
{
    const QByteArray absolute = QUrl::fromLocalFile(at("b b.ogg")).toEncoded();
    test::writeFile(at("lists/x.xspf"),
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">\n"
                    "<title>Ignored list title</title>\n<trackList>\n"
                    "<track><title>Song A</title><location>../a.mp3</location></track>\n"
                    "<track><location>http://example.com/x.mp3</location><title>Web</title></track>\n"
                    "<track><location>" + absolute + "</location></track>\n"
                    "<track><location>../sub/c.wav</location><location>../a.mp3</location>"
                    "<extension application=\"x\"><title>not this</title></extension></track>\n"
                    "<track><title>no location</title></track>\n"
                    "</trackList></playlist>\n");
    test::writeFile(at("cp.xspf"), "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
                                   "<playlist version=\"1\"><trackList><track><title>\xEF\xE5\xF1\xED\xFF</title>"
                                   "<location>%D0%BF%D0%B5%D1%81%D0%BD%D1%8F.mp3</location></track>"
                                   "</trackList></playlist>");
    PlaylistModel m;
    m.addPath(at("lists/x.xspf"));
    m.addPath(at("cp.xspf"));
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:x.xspf", "3:Song A", "3:Web", "3:b b.ogg", "3:c.wav",
                                     "2:cp.xspf", "3:песня"}));
    EXPECT_EQ(m.entry(8).path, at("песня.mp3"));
}

TEST_F(ListFixture, BrokenAndMissingListsAddOnlyWhatTheyHold)
{
    test::writeFile(at("cut.xspf"), "<playlist><trackList><track><location>a.mp3</location></track>"
                                    "<track><location>b%20b.ogg</loc");
    test::writeFile(at("noise.m3u"), QByteArray("\x00\xff\xfe\x01garbage\n\x89PNG\r\n", 16));
    PlaylistModel m;
    m.addPath(at("cut.xspf"));
    m.addPath(at("noise.m3u"));
    m.addPath(at("gone.pls"));
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:cut.xspf", "3:a.mp3", "2:noise.m3u", "2:gone.pls"}));
}

TEST_F(ListFixture, AFolderManyEntriesShareIsCheckedAsWellAsSingleFiles)
{
    QByteArray text;
    for (int i = 0; i < 40; ++i) {
        test::writeFile(at(QStringLiteral("many/%1.mp3").arg(i)), "x");
        text += QByteArray::number(i) + ".mp3\n";
    }
    ASSERT_TRUE(QFile::link(at("many/1.mp3"), at("many/link.mp3")));
    ASSERT_TRUE(QFile::link(at("many/gone.mp3"), at("many/dangling.mp3")));
    QDir().mkpath(at("many/folder.mp3"));
    test::writeFile(at("many/list.m3u"), "missing.mp3\nlink.mp3\ndangling.mp3\nfolder.mp3\n" + text);
    PlaylistModel m;
    m.addPath(at("many/list.m3u"));
    ASSERT_EQ(m.playlistCount(), 2 + 41) << "the link and the 40 files, nothing missing, dangling or a folder";
    EXPECT_EQ(m.entry(3).text, "link.mp3");
    EXPECT_EQ(m.entry(43).text, "39.mp3");
}

TEST_F(ListFixture, CyclesThroughMixedFormatsLoadEachListOnce)
{
    test::writeFile(at("self.m3u"), "self.m3u\na.mp3\n");
    test::writeFile(at("one.m3u"), "two.xspf\na.mp3\n");
    test::writeFile(at("two.xspf"), "<playlist><trackList><track><location>three.pml</location></track>"
                                    "<track><title>c</title><location>sub/c.wav</location></track>"
                                    "</trackList></playlist>");
    test::writeFile(at("three.pml"), "[main]\nfiles=2\nversion=4\n[file1]\npath=four.pls\ntext=four\ndeep=1\n"
                                     "[file2]\npath=b b.ogg\ntext=b\ndeep=1\n");
    test::writeFile(at("four.pls"), "[playlist]\nFile1=one.m3u\nFile2=./one.m3u\nFile3=a.mp3\n");
    PlaylistModel m;
    m.addPath(at("self.m3u"));
    m.addPath(at("one.m3u"));
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:self.m3u", "3:a.mp3", "2:one.m3u", "4:two.xspf", "6:three.pml",
                                     "8:four", "9:a.mp3", "7:b", "5:c", "3:a.mp3"}));
    EXPECT_TRUE(test::isWellFormedTree(m));
}

TEST_F(ListFixture, LinesThatAreNotUtf8AreReadInTheEncodingWhoseFileExists)
{
    // One list, lines written by different programs: UTF-8, CP1251, CP1252,
    // and a name whose bytes on disk are not UTF-8.
    test::writeFile(at(QStringLiteral("café.mp3")), "x");
    const QString odd = fileNameFromBytes(QByteArray(dir.toUtf8() + "/\xC0\xFF.mp3"));
    ASSERT_EQ(::close(::open(fileNameBytes(odd).constData(), O_CREAT | O_WRONLY, 0600)), 0);
    const QByteArray lines[] = {"b b.ogg", "\xEF\xE5\xF1\xED\xFF.mp3", "caf\xE9.mp3", "\xC0\xFF.mp3"};
    test::writeFile(at("mixed.m3u"), "#EXTINF:1,\xEF\xE5\xF1\xED\xFF\n" + lines[0] + "\n" + lines[1] + "\n" + lines[2]
                                         + "\n" + lines[3] + "\n");
    test::writeFile(at("mixed.pls"), "[playlist]\nFile1=" + lines[0] + "\nFile2=" + lines[1] + "\nFile3=" + lines[2]
                                         + "\nTitle3=caf\xE9\nFile4=" + lines[3] + "\n");
    PlaylistModel m;
    m.addPath(at("mixed.m3u"));
    m.addPath(at("mixed.pls"));
    const QStringList expected{"", "", "~/b b.ogg", "~/песня.mp3", "~/café.mp3", "~/" + odd.mid(dir.size() + 1)};
    EXPECT_EQ(paths(m), expected + expected.mid(1, 5));
    EXPECT_EQ(m.entry(3).text, "песня") << "the title of a UTF-8 location, in the legacy reading";
    EXPECT_EQ(m.entry(10).text, "café") << "in the encoding that found the file";
    ::unlink(fileNameBytes(odd).constData());
}

TEST_F(ListFixture, OldExportsWithCarriageReturnsOnly)
{
    test::writeFile(at("mac.m3u"), "#EXTM3U\r#EXTINF:1,First\ra.mp3\rsub/c.wav\r");
    test::writeFile(at("mac.pls"), "[playlist]\rFile1=a.mp3\rTitle1=One\rFile2=sub/c.wav\r");
    PlaylistModel m;
    m.addPath(at("mac.m3u"));
    m.addPath(at("mac.pls"));
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:mac.m3u", "3:First", "3:c.wav", "2:mac.pls", "3:One", "3:c.wav"}));
}

TEST_F(ListFixture, XspfBaseAndTheFirstLocalLocation)
{
    const QByteArray base = QUrl::fromLocalFile(dir + QLatin1Char('/')).toEncoded();
    test::writeFile(at("lists/based.xspf"),
                    "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\" xml:base=\"" + base + "\"><trackList>"
                    "<track><location>a.mp3</location></track>"
                    "<track xml:base=\"sub/\"><location>c.wav</location></track>"
                    "<track><location>http://example.com/a.mp3</location><location>missing.mp3</location>"
                    "<location>b%20b.ogg</location></track>"
                    "</trackList></playlist>");
    PlaylistModel m;
    m.addPath(at("lists/based.xspf"));
    EXPECT_EQ(paths(m), QStringList({"", "", "~/a.mp3", "~/sub/c.wav", "~/b b.ogg"}));
}

TEST_F(ListFixture, NamesWithAColonAreFilesAndOnlyKnownSchemesAreUrls)
{
    test::writeFile(at("Re:Zero.mp3"), "x");
    test::writeFile(at("colon.m3u"), "Re:Zero.mp3\nrtsp://example.com/cam\nC:\\Music\\gone.mp3\n");
    test::writeFile(at("colon.pls"), "[playlist]\nFile1=Re:Zero.mp3\nFile2=ftp://example.com/a.mp3\n");
    PlaylistModel m;
    m.addPath(at("colon.m3u"));
    m.addPath(at("colon.pls"));
    EXPECT_EQ(paths(m), QStringList({"", "", "~/Re:Zero.mp3", "", "~/Re:Zero.mp3"}));
}

TEST_F(ListFixture, StreamsAreKeptUnmeasuredAndSavedAsTheirUrl)
{
    test::writeFile(at("radio.m3u"), "#EXTINF:-1,Radio One\nhttp://radio.example:8000/one\nHTTPS://radio.example/two\n");
    PlaylistModel m;
    EXPECT_EQ(m.addPath(at("radio.m3u")), 4) << "a list of streams only is a group of them";
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:radio.m3u", "3:Radio One", "3:HTTPS://radio.example/two"}));
    EXPECT_EQ(m.entry(3).time, kTimeUnmeasurable) << "nothing to measure";
    ASSERT_TRUE(savePlaylistFile(m, at("saved.pml")));
    QFile saved(at("saved.pml"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("path=http://radio.example:8000/one")) << "whole, not made relative";
    PlaylistModel back;
    back.addPath(at("saved.pml"));
    EXPECT_EQ(paths(back), QStringList({"", "", "", "http://radio.example:8000/one", "HTTPS://radio.example/two"}));
    EXPECT_EQ(back.entry(4).time, kTimeUnmeasurable);
}

TEST(ForeignPlaylist, FormatsAreKnownByExtensionInAnyCase)
{
    EXPECT_EQ(foreignFormatOf(QStringLiteral("/x/a.M3u8")), ForeignFormat::M3u8);
    EXPECT_EQ(foreignFormatOf(QStringLiteral("/x/a.XSPF")), ForeignFormat::Xspf);
    EXPECT_FALSE(foreignFormatOf(QStringLiteral("/x.pls/a")).has_value());
    EXPECT_TRUE(isListFilePath(QStringLiteral("/x/a.PML")));
    EXPECT_FALSE(isListFilePath(QStringLiteral("/x/a.mp3")));
}

}  // namespace
