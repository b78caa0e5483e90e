#pragma once
// The file type table on real settings, a real class root file and real
// icon folders in a temporary home; the desktop is either a fake that
// remembers what was projected or the freedesktop adapter.

#include "settings/settings.h"
#include "shell/class_root.h"
#include "shell/desktop_projection.h"
#include "shell/file_types.h"
#include "shell/shell_registration.h"
#include "shell/type_icons.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QMap>

#include <memory>

namespace velmora::test {

class FakeDesktop : public DesktopProjection {
public:
    void writeFileClass(const QString& ext, const QString& iconPath) override { classes[ext] = iconPath; }
    void removeFileClass(const QString& ext) override { classes.remove(ext); }
    QString defaultHandler(const QString& ext) override { return handlers.value(ext); }
    void setDefaultHandler(const QString& ext, const QString& handler, const QString&) override
    {
        handlers[ext] = handler;
    }
    void writeFolderAction() override { folderAction = true; }
    void removeFolderAction() override { folderAction = false; }
    void commit() override { ++commits; }

    QMap<QString, QString> classes;   // ext -> icon
    QMap<QString, QString> handlers;  // ext -> desktop id
    bool folderAction = false;
    int commits = 0;
};

class ShellFixture {
public:
    // Without a desktop, build() makes the table later (once a desktop
    // made in this fixture's home exists).
    explicit ShellFixture(DesktopProjection* desktop)
    {
        // A factory folder of our own: adding a type copies into it.
        const QString built = QStringLiteral(VELMORA_BUILD_DIR "/default icons/");
        for (const QString& name : {QStringLiteral("default"), QStringLiteral("mp3"), QStringLiteral("wav")}) {
            for (const QString& sub : {QString(), QStringLiteral("16x16/"), QStringLiteral("32x32/"),
                                       QStringLiteral("48x48/")}) {
                QDir().mkpath(factory() + sub);
                QFile::copy(built + sub + name + QStringLiteral(".png"), factory() + sub + name + QStringLiteral(".png"));
            }
        }
        if (desktop)
            build(desktop, QStringLiteral("/opt/velmora/velmora4"));
    }
    void build(DesktopProjection* desktop, const QString& program)
    {
        root = std::make_unique<ClassRoot>(home.file(QStringLiteral("config/classes.ini")), desktop);
        shell = std::make_unique<ShellRegistration>(*root, program);
        types = std::make_unique<FileTypes>(settings, *shell, icons);
    }

    QString factory() const { return home.file(QStringLiteral("program/default icons/")); }
    QString current() const { return home.file(QStringLiteral("data/velmora4/icons/")); }
    QString stored(const QString& key) const { return store.get(QStringLiteral("File Types"), key, QStringLiteral("<none>")); }
    QString classesText() const
    {
        QFile f(home.file(QStringLiteral("config/classes.ini")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    TempHome home;
    SettingsStore store{home.file(QStringLiteral("config/settings.ini"))};
    Settings settings{store};
    TypeIcons icons{current(), factory()};
    std::unique_ptr<ClassRoot> root;
    std::unique_ptr<ShellRegistration> shell;
    std::unique_ptr<FileTypes> types;
};

}  // namespace velmora::test
