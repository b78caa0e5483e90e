#include "shell/freedesktop_files.h"

#include <QMimeDatabase>

#include <algorithm>

namespace velmora {

QString quoteExecArgument(const QString& argument)
{
    // Plain arguments stay bare: some readers of desktop entries (xdg-mime)
    // take the first word of Exec literally, quotes and all.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`%");
    const bool plain = !argument.isEmpty()
        && std::none_of(argument.begin(), argument.end(), [](QChar c) { return reserved.contains(c); });
    if (plain)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QString escapeDesktopValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else
            out += c;
    }
    return out;
}

QString quoteShellWord(const QString& word)
{
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString escapeXml(const QString& text)
{
    return text.toHtmlEscaped();
}

QString ownMimeType(const QString& ext)
{
    QString name;
    for (const QChar c : ext.toLower()) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            || c == QLatin1Char('+') || c == QLatin1Char('.') || c == QLatin1Char('-');
        name += plain ? c : QLatin1Char('-');
    }
    return QStringLiteral("application/x-velmora4-") + name;
}

bool isOwnMimeType(const QString& mimeType)
{
    return mimeType.startsWith(QLatin1String("application/x-velmora4-"));
}

QStringList mimeTypesForExtension(const QString& ext)
{
    const QMimeDatabase db;
    QStringList names;
    for (const QMimeType& type : db.mimeTypesForFileName(QStringLiteral("x.") + ext)) {
        if (type.isValid() && !type.isDefault())
            names << type.name();
    }
    if (names.isEmpty())
        names << ownMimeType(ext);
    return names;
}

}  // namespace velmora
