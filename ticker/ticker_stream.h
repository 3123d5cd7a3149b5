// TickerStream: the stream that brings the ticker its text.
#pragma once

#include <qpm/data_stream.h>

class MessageTicker;

class TickerStream : public DataStream {
public:
    explicit TickerStream(MessageTicker* owner);

    void OnData(const char* buffer, int32_t length, int32_t offset) override;
    void OnEnd() override;
    void OnFailed(int32_t code) override;

private:
    void OnTextComplete();
    MessageTicker* ticker_;
};
