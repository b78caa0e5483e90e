#include "shell/file_type_name.h"

namespace velmora {

std::optional<QString> acceptableFileTypeName(const QString& text)
{
    QString name = text;
    if (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    if (name.trimmed() != name || name.isEmpty() || name.size() > kMaxFileTypeNameLength)
        return std::nullopt;
    if (name.startsWith(QLatin1Char('.')) || name.contains(QLatin1String("..")) || name == QLatin1String("default"))
        return std::nullopt;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('=') || c == QLatin1Char('[')
            || c == QLatin1Char(']') || c == QLatin1Char(';') || c == QLatin1Char('*') || c == QLatin1Char('?')
            || c.category() == QChar::Other_Control)
            return std::nullopt;
    }
    return name;
}

}  // namespace velmora
