// Requests a component sends to its host: messages to the parent of the
// component window. Under the plug-in adapter the stream requests and
// host information are answered without a parent window.
#pragma once

#include <qpm/protocol.h>
#include <qpm/records.h>

// 1044: a handle (0 or more), kNoStream, or kStreamLater; as the host answered.
LONG_PTR HostOpenStream(InstanceRecord* record, UrlRequest* request, WPARAM flags);
// 1045.
void HostCloseStream(InstanceRecord* record, LONG_PTR handle);
// 1046: bytes copied (> 0), 0 for nothing now, < 0 for the end or an error.
int32_t HostReadStream(InstanceRecord* record, LONG_PTR handle, char* buffer, int32_t size);
// 1047, posted: ready for data on this stream.
void HostStreamReady(InstanceRecord* record, LONG_PTR handle);
// 1054: 1 when the host put a string into the 512-byte buffer.
int32_t GetHostInfo(InstanceRecord* record, int item, char* buffer);
// 1055: 1 when the host handles request `number`.
int32_t HostSupports(InstanceRecord* record, UINT number);
// 1069 after asking 1055: 1 when the host resized the component window.
int32_t HostResize(InstanceRecord* record, int32_t width, int32_t height);
