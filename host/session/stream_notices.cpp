// Stream notices to components.
#include "session/stream_notices.h"

#include <qpm/protocol.h>
#include <qpm_platform.h>

#include "session/host.h"
#include "session/log.h"

void SendDueStreamNotices(Host& host) {
    StreamTable::Notice notice;
    while (host.streams.NextNotice(&notice)) {
        if (!IsWindow(notice.window)) {
            // The component went without closing its streams.
            for (LONG_PTR handle : host.streams.ForgetOwner(notice.window))
                host.transport->Abort(handle);
            continue;
        }
        ComponentSlot* slot = host.SlotOfWindow(notice.window);
        if (IsVerbose()) {
            LogVerbose("%s <- %s handle=%ld%s", slot ? slot->label.c_str() : "?",
                       QpmMessageName(notice.message), long(notice.handle),
                       notice.message == QPMM_STREAMFAILED
                           ? (" code=" + std::to_string(notice.wParam)).c_str()
                           : "");
        }
        CallingSlot calling(host, slot);
        SendMessageA(notice.window, notice.message, notice.wParam, notice.handle);
        host.streams.NoticeDone(notice);
    }
}
