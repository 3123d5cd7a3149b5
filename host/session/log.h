// qpmhost's messages on stderr: errors and warnings always, the traffic
// between host and components only with --verbose. While a live display
// holds the terminal, errors and warnings wait and come out when it is
// given back, so that they neither spoil the picture nor get lost.
#pragma once

void SetVerbose(bool on);
bool IsVerbose();
// "qpmhost: " + the message + a line break; control characters become '?'.
void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "qpmhost: warning: " + the message.
void LogWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogVerbose(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Holds errors and warnings back from now on (true), or prints those
// held and stops holding (false).
void HoldMessages(bool hold);
