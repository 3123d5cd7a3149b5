// Sending the stream notices that are due (1034, 1035, 1040) to their
// components.
#pragma once

struct Host;

// Sends every notice due now. Safe to call again from inside a notice
// (a component running a modal loop): a stream being told is skipped.
void SendDueStreamNotices(Host& host);
