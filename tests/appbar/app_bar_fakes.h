#pragma once
// Recording fakes of the application bar's platform: a desktop, a shell
// service and a window.

#include "appbar/app_bar_platform.h"

#include <QStringList>

namespace velmora::test {

class FakeDesktop : public BarDesktop {
public:
    Box screen() const override { return screenBox; }
    QPoint cursorPos() const override { return cursor; }
    bool controlHeld() const override { return control; }
    QSize borderSize() const override { return QSize(1, 1); }
    QSize scrollBarSize() const override { return QSize(17, 17); }
    QSize doubleClickSize() const override { return QSize(4, 4); }
    bool dragFullWindows() const override { return fullDrag; }

    Box screenBox{0, 0, 1024, 768};
    QPoint cursor{500, 500};
    bool control = false;
    bool fullDrag = false;  // no slides unless a test wants them
};

class FakeShell : public AppBarShell {
public:
    void setListener(AppBarShellListener* l) override { listener = l; }
    void registerBar() override { log << "new"; registered = true; }
    void removeBar() override { log << "remove"; registered = false; }
    Box queryPos(BarEdge, const Box& proposed) override
    {
        Box r = proposed;
        r.top += reservedTop;
        return r;
    }
    Box setPos(BarEdge edge, const Box& rect) override
    {
        log << QStringLiteral("setpos %1 %2,%3,%4,%5").arg(int(edge)).arg(rect.left).arg(rect.top).arg(rect.right).arg(rect.bottom);
        reserved = rect;
        return rect;
    }
    bool isAutoHideBar(BarEdge edge) const override { return held == int(edge); }
    bool setAutoHideBar(BarEdge edge, bool on) override
    {
        log << QStringLiteral("autohide %1 %2").arg(int(edge)).arg(on);
        if (!on) {
            if (held == int(edge))
                held = -1;
            return true;
        }
        if (held == int(edge))
            return true;
        if (edgeTaken)
            return false;
        held = int(edge);
        return true;
    }
    void activate() override {}
    void windowPosChanged() override {}
    Box workArea() const override { return work; }
    bool windowManagerRuns() const override { return true; }

    AppBarShellListener* listener = nullptr;
    QStringList log;
    bool registered = false;
    bool edgeTaken = false;  // another bar auto-hides there
    int held = -1;
    int reservedTop = 0;
    Box reserved;
    Box work{0, 0, 1024, 740};
};

class FakeWindow : public BarWindow {
public:
    AppBarShell& shell() override { return shellFake; }
    Box rect() const override { return box; }
    void place(const Box& r) override
    {
        box = r;
        ++places;
    }
    void setStacking(BarStacking s) override { stacking = s; }
    void setFrame(bool c, std::optional<bool> t) override
    {
        caption = c;
        if (t)
            taskbar = *t;
    }
    bool isActive() const override { return active; }
    void showRefusal(const QString& text) override { refusals << text; }
    void intercept(BarMessages* h) override { handler = h; }

    FakeShell shellFake;
    Box box{100, 100, 732, 132};
    int places = 0;
    BarStacking stacking = BarStacking::Normal;
    bool caption = false, taskbar = false, active = false;
    QStringList refusals;
    BarMessages* handler = nullptr;
};

}  // namespace velmora::test
