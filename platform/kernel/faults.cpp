// Fault injection: make the n-th next call of a kind fail, so that every
// "the system refused" branch of the code above can be reached in tests.
#include "internal/kernel_internal.h"

namespace {
int countdown[QPM_FAULT_KINDS] = {};
bool fired[QPM_FAULT_KINDS] = {};
}  // namespace

namespace qpm {

bool InjectedFailure(QpmFault kind) {
    if (kind < 0 || kind >= QPM_FAULT_KINDS || countdown[kind] <= 0) return false;
    if (--countdown[kind] != 0) return false;
    fired[kind] = true;
    QPM_TRACE("fault", "injected failure of kind %d", int(kind));
    return true;
}

}  // namespace qpm

void QpmFailNth(QpmFault kind, int n) {
    if (kind < 0 || kind >= QPM_FAULT_KINDS) return;
    countdown[kind] = n > 0 ? n : 0;
    fired[kind] = false;
}

BOOL QpmFaultFired(QpmFault kind) {
    return kind >= 0 && kind < QPM_FAULT_KINDS && fired[kind] ? TRUE : FALSE;
}

void QpmResetFaults(void) {
    for (int& c : countdown) c = 0;
    for (bool& f : fired) f = false;
}
