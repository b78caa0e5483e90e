#include "video/pointer_hiding.h"

#include <QApplication>

namespace velmora {

void PointerHiding::setHidden(bool hidden)
{
    if (hidden == hidden_)
        return;
    hidden_ = hidden;
    if (hidden)
        QApplication::setOverrideCursor(Qt::BlankCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace velmora
