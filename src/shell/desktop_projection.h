#pragma once
// DesktopProjection: what file managers read, kept in step with the class
// root (class_root.h) after each change of it. The freedesktop adapter
// writes desktop entries, MIME packages, mimeapps.list and the folder
// actions; tests use a fake. Every failure is skipped silently.
//
// ext is a file type's extension as the table stores it (no dot). A
// "handler" is a desktop file id ("vlc.desktop"); the program's own handler
// for ext is ownHandler(ext).

#include <QString>

namespace velmora {

class DesktopProjection {
public:
    virtual ~DesktopProjection() = default;

    // The program's file class for ext: a hidden desktop entry that opens
    // such files with the program, showing iconPath.
    virtual void writeFileClass(const QString& ext, const QString& iconPath) = 0;
    virtual void removeFileClass(const QString& ext) = 0;

    // ownHandler(ext) while the program holds ext; otherwise the handler
    // that opens ext's files apart from the program (never one of the
    // program's own entries); empty when there is none.
    virtual QString defaultHandler(const QString& ext) = 0;
    // Makes handler the default for ext's files. With the own handler the
    // desktop also shows iconPath for them; with another one (or none) the
    // program's claim on ext goes, and each of ext's MIME types that no
    // other type the program holds needs is as it was before the claim.
    virtual void setDefaultHandler(const QString& ext, const QString& handler, const QString& iconPath) = 0;

    // The folder action "Play clips" for every file manager, or none.
    virtual void writeFolderAction() = 0;
    virtual void removeFolderAction() = 0;

    // After a batch of changes: lets the desktop's caches know (may run
    // tools in the background). Nothing when nothing changed.
    virtual void commit() = 0;
};

// The desktop file id of the program's class for ext.
inline QString ownHandler(const QString& ext)
{
    return QStringLiteral("vlmr4_") + ext + QStringLiteral("file.desktop");
}

}  // namespace velmora
