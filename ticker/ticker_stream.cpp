// The ticker's stream: every chunk is appended to the text; the end or a
// failure starts the scrolling with what arrived.
#include "ticker_stream.h"

#include "message_ticker.h"

#include <cstdio>

TickerStream::TickerStream(MessageTicker* owner) : DataStream(owner), ticker_(owner) {}

void TickerStream::OnData(const char* buffer, int32_t length, int32_t) {
    // A chunk that finds no memory is lost; the stream goes on. Once the
    // text is as long as a ticker's text may be, the stream has brought
    // all it can: it is closed, and the pull loop then ends it.
    if (length <= 0 || ticker_->AppendText(buffer, length) || !ticker_->TextFull()) return;
    if (handle == kNoStream) return;  // closed already
    char message[128];
    snprintf(message, sizeof message,
             "ticker: the streamed text stops at %d bytes, the most a ticker holds",
             int(MessageTicker::kLargestText));
    OutputDebugStringA(message);
    Close();
}

void TickerStream::OnEnd() {
    DataStream::OnEnd();
    OnTextComplete();
}

void TickerStream::OnFailed(int32_t code) {
    DataStream::OnFailed(code);
    OnTextComplete();
}

void TickerStream::OnTextComplete() {
    ticker_->OnTextComplete();
    finished = true;  // the next idle sweep deletes the stream
}
