// qpmhost's messages on stderr: errors and warnings always, the traffic
// between host and components only with --verbose.
#pragma once

void SetVerbose(bool on);
bool IsVerbose();
// While the page is shown in the terminal that stderr also goes to,
// an error printed there would be drawn over and lost with the
// alternate screen: errors and warnings are held and printed when the
// terminal has been given back (`hold` false). Has no effect when
// stderr is not a terminal.
void HoldErrorsWhileOnScreen(bool hold);
// "qpmhost: " + the message + a line break; control characters become '?'.
void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "qpmhost: warning: " + the message.
void LogWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogVerbose(const char* format, ...) __attribute__((format(printf, 1, 2)));
