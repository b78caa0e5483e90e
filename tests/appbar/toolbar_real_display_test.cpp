// The toolbar on a real X server (Xvfb, no window manager), looked at from
// a connection of the test's own: a dock window from its first mapping,
// hidden at y = c - 32 with its strip on the screen, sliding out when the
// pointer enters the strip and back when it leaves, reserving no space
// while auto-hiding; a second auto-hiding bar at the top is refused, docks
// without auto-hide and reserves its height.

#include "appbar/toolbar.h"
#include "appbar/x11_window.h"
#include "support/test_support.h"
#include "x_properties.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

using namespace velmora;
using velmora::test::waitFor;

namespace {

class XServer {
public:
    XServer() : c_(xcb_connect(nullptr, nullptr))
    {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~XServer() { xcb_disconnect(c_); }

    xcb_atom_t atom(const char* name) { return test::internAtom(c_, name); }
    std::vector<uint32_t> property(xcb_window_t w, const char* name) { return test::property32(c_, w, name); }
    // The window's place on the root window as the server has it.
    QRect geometry(xcb_window_t w)
    {
        auto* g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr);
        auto* t = xcb_translate_coordinates_reply(c_, xcb_translate_coordinates(c_, w, root_, 0, 0), nullptr);
        const QRect r = g && t ? QRect(t->dst_x, t->dst_y, g->width, g->height) : QRect();
        std::free(g);
        std::free(t);
        return r;
    }
    void movePointer(int x, int y)
    {
        xcb_warp_pointer(c_, XCB_WINDOW_NONE, root_, 0, 0, 0, 0, int16_t(x), int16_t(y));
        xcb_flush(c_);
    }
    void setProperty(xcb_window_t w, const char* name, xcb_atom_t type, const std::vector<uint32_t>& values)
    {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom(name), type, 32, uint32_t(values.size()), values.data());
        xcb_flush(c_);
    }
    void deleteProperty(xcb_window_t w, const char* name)
    {
        xcb_delete_property(c_, w, atom(name));
        xcb_flush(c_);
    }
    xcb_window_t root() const { return root_; }
    // An unmapped window of the test's own, standing for another program's.
    xcb_window_t makeWindow()
    {
        const xcb_window_t w = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, root_, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_flush(c_);
        return w;
    }
    void takeSelection(xcb_window_t owner, const char* name)
    {
        xcb_set_selection_owner(c_, owner, atom(name), XCB_CURRENT_TIME);
        xcb_flush(c_);
    }
    xcb_window_t selectionOwner(const char* name)
    {
        auto* r = xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, atom(name)), nullptr);
        const xcb_window_t owner = r ? r->owner : 0;
        std::free(r);
        return owner;
    }

private:
    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
};

Toolbar::Hooks noHooks()
{
    Toolbar::Hooks h;
    return h;
}

QMessageBox* refusalBox()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            return box;
    }
    return nullptr;
}

class ToolbarRealDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server";
    }
    XServer x;
};

TEST_F(ToolbarRealDisplay, AutoHidingDockSlidesOutUnderThePointerAndBack)
{
    x.movePointer(600, 500);
    Toolbar toolbar(noHooks());
    toolbar.ShowToolbar(true);
    toolbar.ShowToolbar(true);
    ToolbarForm* form = toolbar.form();
    ASSERT_NE(form, nullptr);
    const auto id = xcb_window_t(form->winId());

    const auto type = x.property(id, "_NET_WM_WINDOW_TYPE");
    ASSERT_FALSE(type.empty());
    EXPECT_EQ(type.front(), x.atom("_NET_WM_WINDOW_TYPE_DOCK"));
    const int width = QGuiApplication::primaryScreen()->geometry().width();
    ASSERT_TRUE(waitFor([&] { return x.geometry(id) == QRect(0, -30, width, 32); }))
        << "hidden at y = c - 32 across the screen; it is at " << x.geometry(id).y();
    EXPECT_TRUE(x.property(id, "_NET_WM_STRUT_PARTIAL").empty()) << "an auto-hiding bar reserves nothing";
    EXPECT_EQ(x.selectionOwner("_APPBAR_AUTOHIDE_S0_TOP"), id) << "it holds the top edge's auto-hide place";

    x.movePointer(width / 2, 0);
    x.movePointer(width / 2 + 1, 1);
    EXPECT_TRUE(waitFor([&] { return x.geometry(id).y() == 0; })) << "the pointer in the strip slides it out";
    x.movePointer(600, 500);
    EXPECT_TRUE(waitFor([&] { return x.geometry(id).y() == -30; })) << "and back once the pointer has left";

    toolbar.ShowToolbar(false);
    EXPECT_EQ(x.selectionOwner("_APPBAR_AUTOHIDE_S0_TOP"), xcb_window_t(XCB_WINDOW_NONE)) << "removal frees the edge";
}

TEST_F(ToolbarRealDisplay, ASecondAutoHideBarAtTheTopIsRefusedAndReservesItsHeight)
{
    Toolbar first(noHooks());
    first.ShowToolbar(true);
    Toolbar second(noHooks());
    second.ShowToolbar(true);

    ASSERT_TRUE(waitFor([] { return refusalBox() != nullptr; })) << "the second bar says the edge is taken";
    QMessageBox* box = refusalBox();
    EXPECT_EQ(box->text(), TAppBar::refusalText());
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Velmora 4"));
    box->close();

    const auto id = xcb_window_t(second.form()->winId());
    EXPECT_FALSE(second.bar()->fields().autoHide);
    EXPECT_TRUE(waitFor([&] { return x.geometry(id).y() == 0; })) << "docked at the top, not hidden";
    const auto strut = x.property(id, "_NET_WM_STRUT_PARTIAL");
    ASSERT_EQ(strut.size(), 12u);
    EXPECT_EQ(strut[2], 32u) << "it reserves its 32 pixels at the top";
    EXPECT_EQ(strut[8], 0u) << "across the whole width";
    EXPECT_EQ(strut[9], uint32_t(QGuiApplication::primaryScreen()->geometry().width() - 1));
    EXPECT_EQ(x.property(id, "_NET_WM_STRUT").size(), 4u);
    EXPECT_NE(x.selectionOwner("_APPBAR_AUTOHIDE_S0_TOP"), id);
}

TEST_F(ToolbarRealDisplay, DocksReservingItsHeightWhenAnotherBarTakesItsAutoHidePlace)
{
    Toolbar toolbar(noHooks());
    toolbar.ShowToolbar(true);
    const auto id = xcb_window_t(toolbar.form()->winId());
    ASSERT_TRUE(waitFor([&] { return x.selectionOwner("_APPBAR_AUTOHIDE_S0_TOP") == id && x.geometry(id).y() == -30; }));
    const xcb_window_t other = x.makeWindow();
    x.takeSelection(other, "_APPBAR_AUTOHIDE_S0_TOP");
    EXPECT_TRUE(waitFor([&] { return x.geometry(id).y() == 0; })) << "docked, not hidden";
    const auto strut = x.property(id, "_NET_WM_STRUT_PARTIAL");
    ASSERT_EQ(strut.size(), 12u);
    EXPECT_EQ(strut[2], 32u);
    EXPECT_EQ(x.selectionOwner("_APPBAR_AUTOHIDE_S0_TOP"), other);
}

// What a window manager would publish, written by the test itself: its
// check window, a panel reserving the top 24 pixels in the client list, and
// a listed window that goes full screen. Once the check is gone, what it
// left behind no longer counts.
TEST_F(ToolbarRealDisplay, DocksBelowOtherBarsAndGoesBelowFullScreenApplicationsWhileAWindowManagerRuns)
{
    const int width = QGuiApplication::primaryScreen()->geometry().width();
    const xcb_window_t check = x.makeWindow();
    x.setProperty(check, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW, {check});
    x.setProperty(x.root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW, {check});
    const xcb_window_t panel = x.makeWindow();
    x.setProperty(panel, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL,
                  {0, 0, 24, 0, 0, 0, 0, 0, 0, uint32_t(width - 1), 0, 0});
    x.setProperty(x.root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {panel});
    const xcb_window_t video = x.makeWindow();

    Toolbar toolbar(noHooks());
    toolbar.ShowToolbar(true);
    TAppBar& bar = *toolbar.bar();
    bar.fields().autoHide = false;
    bar.UpdateBar();
    const auto id = xcb_window_t(toolbar.form()->winId());
    EXPECT_TRUE(waitFor([&] { return x.geometry(id).y() == 24; })) << "docked below the panel's space";
    const auto strut = x.property(id, "_NET_WM_STRUT_PARTIAL");
    ASSERT_EQ(strut.size(), 12u);
    EXPECT_EQ(strut[2], 56u);

    x.setProperty(video, "_NET_WM_STATE", XCB_ATOM_ATOM, {});
    x.setProperty(x.root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {panel, video});
    x.setProperty(video, "_NET_WM_STATE", XCB_ATOM_ATOM, {x.atom("_NET_WM_STATE_FULLSCREEN")});
    EXPECT_TRUE(waitFor([&] { return bar.fields().fullScreenApp; })) << "a listed window went full screen, active or not";
    x.setProperty(x.root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {panel});
    EXPECT_TRUE(waitFor([&] { return !bar.fields().fullScreenApp; })) << "it left the list";

    x.setProperty(x.root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {panel, video});
    ASSERT_TRUE(waitFor([&] { return bar.fields().fullScreenApp; }));
    x.deleteProperty(x.root(), "_NET_SUPPORTING_WM_CHECK");
    EXPECT_TRUE(waitFor([&] { return !bar.fields().fullScreenApp; })) << "no window manager: a stale list";
    EXPECT_TRUE(waitFor([&] { return x.geometry(id).y() == 0; })) << "the panel's space is no longer taken off";

    toolbar.ShowToolbar(false);
    x.deleteProperty(x.root(), "_NET_CLIENT_LIST");
}

}  // namespace

// Before the window is mapped the state is its own property, and Qt keeps it
// when it maps the window; taking it away leaves the other states alone.
TEST_F(ToolbarRealDisplay, AboveBeforeMappingIsAPropertyQtKeeps)
{
    const std::optional<x11::Server> server = x11::qtServer();
    ASSERT_TRUE(server);
    QWidget window;
    window.resize(50, 40);
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t above = x.atom("_NET_WM_STATE_ABOVE"), sticky = x.atom("_NET_WM_STATE_STICKY");
    x11::setAbove(*server, id, true, false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(x.property(id, "_NET_WM_STATE"), std::vector<uint32_t>{above});
    window.hide();
    x.setProperty(id, "_NET_WM_STATE", XCB_ATOM_ATOM, {sticky, above});
    ASSERT_EQ(x.property(id, "_NET_WM_STATE").size(), 2u);  // in place before Qt's connection reads it
    x11::setAbove(*server, id, false, false);
    EXPECT_EQ(x.property(id, "_NET_WM_STATE"), std::vector<uint32_t>{sticky});
}
