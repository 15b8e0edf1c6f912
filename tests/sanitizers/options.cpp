// Default runtime options of the sanitizer build, linked into every executable
// of it (cmake/Sanitizers.cmake). The sanitizer runtimes call these hooks at
// start; options given in ASAN_OPTIONS, LSAN_OPTIONS or UBSAN_OPTIONS still win.

extern "C" {

// A small quarantine of freed memory, so that the tests which bound how much
// the program's memory may grow hold in this build as well.
const char *__asan_default_options()
{
    return "detect_leaks=1:strict_init_order=1:check_initialization_order=1:quarantine_size_mb=16";
}

const char *__lsan_default_options()
{
    return "print_suppressions=0:suppressions=" CORVANE_SANITIZER_FILES "/lsan.supp";
}

const char *__ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1:suppressions=" CORVANE_SANITIZER_FILES "/ubsan.supp";
}
}
