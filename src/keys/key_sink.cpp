#include "keys/key_sink.h"

#include "keys/key_map.h"

namespace velmora {

void forwardKey(KeySink& sink, const QKeyEvent& event) { sink.press(virtualKeyFromEvent(event)); }

}  // namespace velmora
