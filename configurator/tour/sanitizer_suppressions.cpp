// What the sanitizers are told to leave alone; only sanitizer builds call
// these.

// Fontconfig keeps its caches for the life of the process; LeakSanitizer
// would report them at the end of every run that lays out text.
extern "C" const char* __lsan_default_suppressions();
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

// Qt is not built for ThreadSanitizer: its raster engine hands painting to
// its own thread pool with futexes the tool cannot see. Accesses made inside
// Qt are left out; synchronisation and every access of our code are not.
extern "C" const char* __tsan_default_suppressions();
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n";
}
