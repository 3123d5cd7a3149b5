#include "framework/linked/units_component.h"

int RecordingStream::liveCount = 0;
UnitsComponent* UnitsComponent::last = nullptr;

RecordingStream::~RecordingStream() { --liveCount; }

void RecordingStream::Record(const StreamEvent& e) {
    events.push_back(e);
    if (log_) log_->push_back(e);
}

void RecordingStream::OnData(const char* buffer, int32_t length, int32_t offset) {
    received.append(buffer, size_t(length));
    Record({"data", length, offset, std::string(buffer, size_t(length))});
}

void RecordingStream::OnEnd() {
    DataStream::OnEnd();
    Record({"end", 0, 0, ""});
    if (finishOnEnd) finished = true;
}

void RecordingStream::OnFailed(int32_t code) {
    DataStream::OnFailed(code);
    Record({"failed", code, 0, ""});
    if (finishOnEnd) finished = true;
}

void RecordingStream::OnNotice(int32_t value, int32_t length, const char* bytes) {
    Record({"notice", value, length, std::string(bytes, size_t(length))});
}

void RecordingStream::OnNotice2(int32_t value, const char* bytes) {
    Record({"notice2", value, 0, bytes});
}

UnitsComponent::UnitsComponent() { last = this; }

UnitsComponent::~UnitsComponent() {
    if (last == this) last = nullptr;
}

DataStream* UnitsComponent::CreateStream(const char* url) {
    createdFor.push_back(url ? url : "(null)");
    if (!makeStreams) return nullptr;
    return new RecordingStream(this);
}

const char ComponentName[] = "Units";

Component* CreateComponent(InitRecord*) { return new UnitsComponent; }

int32_t CalcComponentSize(InitRecord* record) {
    record->width = 100;
    record->height = 20;
    return 1;
}
