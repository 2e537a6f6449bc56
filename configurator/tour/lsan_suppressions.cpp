// Fontconfig keeps its caches for the life of the process; LeakSanitizer
// would report them at the end of every run that lays out text. Only
// sanitizer builds ever call this.
extern "C" const char* __lsan_default_suppressions();
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
