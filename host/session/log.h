// qpmhost's messages on stderr: errors always, the traffic between host
// and components only with --verbose.
#pragma once

void SetVerbose(bool on);
bool IsVerbose();
// "qpmhost: " + the message + a line break.
void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogVerbose(const char* format, ...) __attribute__((format(printf, 1, 2)));
