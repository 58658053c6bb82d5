// Under LeakSanitizer: fontconfig keeps a few blocks of its font cache for the process's life,
// which the offscreen platform's font database loads. Our own allocations stay checked.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
