// The toolbar as the program uses it (offscreen): one window however often
// it is shown, a new one docked as the first after removal, the main
// window's look taken when shown during playback, clicks on active buttons
// only, keys to the handler.

#include "keys/key_sink.h"
#include "appbar/toolbar.h"
#include "support/test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::waitFor;
using Button = ToolbarForm::Button;

namespace {

int toolbarWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the unloaded window goes
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += qobject_cast<ToolbarForm*>(w) != nullptr ? 1 : 0;
    return n;
}

struct Recorder : KeySink {
    QList<TransportButton> presses;
    int keys = 0;
    void press(int) override { ++keys; }

    Toolbar::Hooks hooks()
    {
        Toolbar::Hooks h;
        h.press = [this](TransportButton b) { presses << b; };
        h.keys = this;
        return h;
    }
};

TEST(Toolbar, ShowsOneWindowDockedAtTheTopAndRemovesIt)
{
    Recorder r;
    Toolbar toolbar(r.hooks());
    toolbar.ShowToolbar(false);
    EXPECT_FALSE(toolbar.ToolbarShown());
    EXPECT_EQ(toolbar.form(), nullptr) << "removing a toolbar that is not shown does nothing";

    toolbar.ShowToolbar(true);
    toolbar.ShowToolbar(true);
    EXPECT_TRUE(toolbar.ToolbarShown());
    EXPECT_EQ(toolbarWindows(), 1);
    ToolbarForm* form = toolbar.form();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Velmora 4"));
    EXPECT_EQ(toolbar.bar()->state(), BarEdge::Top);
    EXPECT_TRUE(toolbar.bar()->fields().autoHide);
    EXPECT_EQ(toolbar.bar()->fields().allowedEdges, edge_bits::Top);
    EXPECT_EQ(toolbar.bar()->fields().sizeIncY, 0);
    EXPECT_TRUE(waitFor([&] { return form->geometry().top() == -30 && form->height() == 32; }))
        << "it rests hidden above the screen with its strip showing";

    toolbar.ShowToolbar(false);
    EXPECT_TRUE(waitFor([&] { return toolbarWindows() == 0; })) << "removal unloads the window";
    toolbar.showPlayback({});  // the controller may tell it while no window is shown
    toolbar.ShowToolbar(true);
    EXPECT_EQ(toolbarWindows(), 1);
    EXPECT_EQ(toolbar.bar()->state(), BarEdge::Top) << "the second show docks as the first";
    EXPECT_TRUE(toolbar.bar()->fields().autoHide);
}

TEST(Toolbar, ShownWhileAClipPlaysItTakesTheMainWindowsLook)
{
    Recorder r;
    Toolbar toolbar(r.hooks());
    PlaybackState paused;
    paused.phase = paused.shown = PlaybackState::Phase::Paused;
    paused.clipText = QStringLiteral("clip one");
    toolbar.showPlayback(paused);
    toolbar.ShowToolbar(true);
    ToolbarForm& form = *toolbar.form();
    EXPECT_FALSE(form.button(Button::Play).framed());
    EXPECT_FALSE(form.button(Button::Next).framed());
    EXPECT_TRUE(form.button(Button::Pause).framed());
    EXPECT_EQ(form.clip().text(), QStringLiteral("clip one"));

    QTest::mouseClick(&form.button(Button::Pause), Qt::LeftButton);
    QTest::mouseClick(&form.button(Button::Next), Qt::LeftButton);
    EXPECT_EQ(r.presses, QList<TransportButton>{TransportButton::StepForward}) << "the framed Pause does nothing";
    QTest::keyClick(&form, Qt::Key_Space);
    EXPECT_EQ(r.keys, 1) << "keys go to the keyboard commands";
}

}  // namespace
