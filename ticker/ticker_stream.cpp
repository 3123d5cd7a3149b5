// The ticker's stream: every chunk is appended to the text; the end or a
// failure starts the scrolling with what arrived.
#include "ticker_stream.h"

#include "message_ticker.h"

TickerStream::TickerStream(MessageTicker* owner) : DataStream(owner), ticker_(owner) {}

void TickerStream::OnData(const char* buffer, int32_t length, int32_t) {
    // A chunk that finds no room is lost; the stream goes on.
    if (length > 0) ticker_->AppendText(buffer, length);
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
