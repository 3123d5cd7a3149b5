// The counting receiver, kept out of the benchmark's own unit.
#include "support/virtual_receiver.h"

namespace {

struct Counting : Receiver {
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM) override {
        return message == WM_USER ? LRESULT(wParam + 1) : 0;
    }
};

}  // namespace

Receiver& CountingReceiver() {
    static Counting receiver;
    return receiver;
}
