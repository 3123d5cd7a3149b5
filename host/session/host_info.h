// The host information strings a component may ask for (request 1054).
#pragma once

#include <string>

struct HostIdentity {
    std::string registryPath;  // item 1: the path of DRX.REG
    std::string context;       // item 2: passed back in every URL request
    std::string userName;      // item 6; its first word is item 5
    std::string userAddress;   // item 7
    std::string userAgent;     // item 8
};

// Fills the caller's buffer of `size` bytes (cut to fit, NUL-terminated)
// and returns true for the items the host knows; for any other item the
// buffer gets an empty string and the answer is false.
bool AnswerHostInfo(const HostIdentity& identity, int item, char* buffer, size_t size);

// The user's name and address from the account (the GECOS full name, or
// the login name; login@hostname), unless given.
void FillUserFromAccount(HostIdentity* identity);

// "qpmhost/1.0 (Linux x86_64) libcurl/7.88.1"
std::string HostUserAgent();
