// Counting the calls into a stream that have not returned yet, so the
// idle sweep never deletes a stream in the middle of one.
#pragma once

#include <qpm/data_stream.h>
#include <qpm_check.h>

// Marks a stream busy for the length of a call into it.
class StreamCall {
public:
    explicit StreamCall(DataStream* stream) : stream_(stream) { ++stream_->callDepth; }
    ~StreamCall() {
        QPM_CHECK(stream_->callDepth > 0, "a stream call ends that never began");
        --stream_->callDepth;
    }
    StreamCall(const StreamCall&) = delete;
    StreamCall& operator=(const StreamCall&) = delete;

private:
    DataStream* stream_;
};
