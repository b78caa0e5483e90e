#include "settings/ini_line.h"

namespace velmora {

IniLine readIniLine(QStringView whole)
{
    IniLine out;
    const QStringView line = whole.trimmed();
    if (line.startsWith(QLatin1Char('['))) {
        const qsizetype close = line.indexOf(QLatin1Char(']'));
        out.kind = IniLine::Kind::Section;
        out.name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return out;
    }
    if (line.startsWith(QLatin1Char(';'))) {
        out.kind = IniLine::Kind::Comment;
        return out;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return out;
    out.kind = IniLine::Kind::Key;
    out.name = line.left(eq).trimmed();
    out.value = line.mid(eq + 1).trimmed();
    out.eq = eq + (line.data() - whole.data());
    return out;
}

}  // namespace velmora
