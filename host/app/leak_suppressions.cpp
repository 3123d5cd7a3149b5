// Built into qpmhost only in the sanitizer builds: leaks inside system
// libraries that nothing can free, so that a direct run ends without a
// LeakSanitizer report (or a table of what was suppressed) and without
// the user setting LSAN_OPTIONS, which still overrides these.
// (tests/lsan.supp lists the same for the test programs.)

extern "C" const char* __lsan_default_suppressions() {
    // fontconfig keeps a block from parsing the font configuration;
    // libdbus keeps blocks once SDL has asked the session bus for IBus.
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n";
}

extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
