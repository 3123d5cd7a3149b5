// ComponentWindowCall: a replacement window procedure's calls, counted
// with the framework's own.
#include <qpm/window_call.h>

#include "reentrant_calls.h"

ComponentWindowCall::ComponentWindowCall(HWND window) : call_(new WindowProcCall(window)) {}

// The outermost call's end carries out what was put off (a stop, a teardown).
ComponentWindowCall::~ComponentWindowCall() { delete call_; }

bool ComponentWindowCall::Nested() const { return call_->Nested(); }
