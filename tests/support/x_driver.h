#pragma once
// Driving the real program on a real X server as a user does, with
// xdotool: clicks, keys and which of its windows are mapped. Header-only.

#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace velmora::test {

// Where the default skin puts the main window's Menu and Close elements,
// with the main window at (100, 100).
inline constexpr QPoint kMainMenu{100 + 318 + 5, 100 + 7 + 5};
inline constexpr QPoint kMainClose{100 + 366 + 5, 100 + 7 + 5};

// xdotool's output lines.
inline QStringList xdotool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline void click(QPoint at)
{
    xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
             QStringLiteral("1")});
}

// The program's windows that are mapped now; with a name, those whose
// title matches it (a regular expression).
inline qsizetype visibleWindows(const QProcess& p, const QString& name = {})
{
    QStringList args{QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                     QString::number(p.processId())};
    if (!name.isEmpty())
        args << QStringLiteral("--name") << name;
    return xdotool(args).size();
}

// The options dialog is shown.
inline bool optionsShown()
{
    return !xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                     QStringLiteral("^Опции$")})
                .isEmpty();
}

}  // namespace velmora::test
