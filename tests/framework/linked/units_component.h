// A component and a stream for tests that link the framework directly:
// the stream records what reaches it, the component makes such streams
// when a stream is delivered, and a test can reach both.
#pragma once

#include <qpm/component.h>
#include <qpm/data_stream.h>
#include <qpm/host_requests.h>
#include <qpm/module.h>
#include <qpm/records.h>

#include <string>
#include <vector>

struct StreamEvent {
    std::string what;  // "data", "end", "failed", "notice", "notice2"
    int32_t a = 0, b = 0;
    std::string bytes;
    bool operator==(const StreamEvent& o) const {
        return what == o.what && a == o.a && b == o.b && bytes == o.bytes;
    }
};

class RecordingStream : public DataStream {
public:
    explicit RecordingStream(Component* owner, std::vector<StreamEvent>* log = nullptr)
        : DataStream(owner), log_(log) {
        ++liveCount;
    }
    ~RecordingStream() override;

    void OnData(const char* buffer, int32_t length, int32_t offset) override;
    void OnEnd() override;
    void OnFailed(int32_t code) override;
    void OnNotice(int32_t value, int32_t length, const char* bytes) override;
    void OnNotice2(int32_t value, const char* bytes) override;

    bool finishOnEnd = false;  // mark finished at the end or failure, as real streams do
    std::vector<StreamEvent> events;
    std::string received;
    static int liveCount;

private:
    void Record(const StreamEvent& e);
    std::vector<StreamEvent>* log_;
};

class UnitsComponent : public Component {
public:
    UnitsComponent();
    ~UnitsComponent() override;
    DataStream* CreateStream(const char* url) override;

    bool makeStreams = false;  // CreateStream makes RecordingStreams
    std::vector<std::string> createdFor;
    static UnitsComponent* last;  // the component QPMInit made most recently
};
