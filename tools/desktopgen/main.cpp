// The installed tree's desktop files that depend on the program's code: the
// application entry (its MIME types from the default file type table) with
// the MIME package for types the shared database does not know, and the
// program's icon in the hicolor theme, drawn for each size on its own:
//   velmora_desktopgen <folder>
// writes <folder>/velmora4.desktop, <folder>/velmora4-mime.xml and
// <folder>/icons/hicolor/<n>x<n>/apps/velmora4.png.

#include "shell/program_icon.h"

#include "shell/default_file_types.h"
#include "shell/freedesktop_files.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {

bool writeText(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.toUtf8()) >= 0 && file.flush();
}

struct TypeList {
    QStringList mimeTypes;  // of every default type, in table order, each once
    QStringList ownTypes;   // those only we declare, with their extension
    QStringList ownExtensions;
};

TypeList defaultTypes()
{
    TypeList list;
    for (const velmora::DefaultFileType& type : velmora::kDefaultFileTypes) {
        const QString ext = QString::fromLatin1(type.name.data(), static_cast<qsizetype>(type.name.size()));
        for (const QString& mime : velmora::mimeTypesForExtension(ext)) {
            if (list.mimeTypes.contains(mime))
                continue;
            list.mimeTypes << mime;
            if (velmora::isOwnMimeType(mime)) {
                list.ownTypes << mime;
                list.ownExtensions << ext;
            }
        }
    }
    return list;
}

QString desktopEntry(const TypeList& types)
{
    QString text = QStringLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Velmora 4\n"
        "Name[ru]=Велмора 4\n"
        "GenericName=Media Player\n"
        "GenericName[ru]=Медиапроигрыватель\n"
        "Comment=Play audio and video clips in a skinnable player\n"
        "Comment[ru]=Проигрыватель аудио- и видеоклипов с обложками\n"
        "Keywords=audio;video;music;movie;playlist;player;\n"
        "Keywords[ru]=аудио;видео;музыка;фильм;плейлист;проигрыватель;\n"
        "Icon=velmora4\n"
        "TryExec=velmora4\n"
        "Exec=velmora4 %F\n"
        "Terminal=false\n"
        "Categories=AudioVideo;Audio;Video;Player;\n");
    if (!types.mimeTypes.isEmpty())
        text += QStringLiteral("MimeType=") + types.mimeTypes.join(QLatin1Char(';')) + QStringLiteral(";\n");
    return text;
}

QString mimePackage(const TypeList& types)
{
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    for (qsizetype i = 0; i < types.ownTypes.size(); ++i) {
        text += QStringLiteral("  <mime-type type=\"%1\">\n"
                               "    <comment>%2 file</comment>\n"
                               "    <glob pattern=\"*.%3\"/>\n"
                               "  </mime-type>\n")
                    .arg(types.ownTypes[i], types.ownExtensions[i].toUpper(), types.ownExtensions[i]);
    }
    return text + QStringLiteral("</mime-info>\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_desktopgen <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const TypeList types = defaultTypes();
    bool ok = QDir().mkpath(folder) && writeText(folder + QStringLiteral("/velmora4.desktop"), desktopEntry(types))
        && writeText(folder + QStringLiteral("/velmora4-mime.xml"), mimePackage(types));
    for (int size : {16, 32, 48, 128, 256}) {
        const QString dir = folder + QStringLiteral("/icons/hicolor/%1x%1/apps").arg(size);
        ok = ok && QDir().mkpath(dir) && velmora::drawProgramIcon(size).save(dir + QStringLiteral("/velmora4.png"));
    }
    if (!ok) {
        std::fprintf(stderr, "velmora_desktopgen: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
