// The ticker library's hooks into the framework.
#include <qpm/attributes.h>
#include <qpm/module.h>

#include <new>

#include "message_ticker.h"

const char ComponentName[] = "MessageTicker";

Component* CreateComponent(InitRecord*) { return new (std::nothrow) MessageTicker; }

// 400 wide; as high as the font size plus 3, and 5 more with a border.
int32_t CalcComponentSize(InitRecord* record) {
    InstanceRecord view;
    ViewInitRecord(&view, record);
    record->width = 400;
    record->height =
        MessageTicker::ReadFontSize(&view) + 3 + (GetBoolAttribute(&view, "SHOWBORDER") ? 5 : 0);
    return 1;
}
