// Sanitizer settings of the test programs, built in when the sanitizers are on, so that they hold
// however a test is run.

extern "C" {

// Leaks of libraries, not of ours, that LeakSanitizer reports at exit.
const char* __lsan_default_suppressions()
{
    // libzip 1.7.3 does not free its source chain when opening an encrypted member fails (wrong
    // password, damaged data; the stack ends in zip_fopen_index_encrypted); our handles of it are
    // owned by RAII wrappers. Qt's font database and platform caches live until the process ends.
    return "leak:libzip.so\n"
           "leak:libQt6Gui.so\n"
           "leak:libfontconfig.so\n"
           "leak:libfreetype.so\n";
}

} // extern "C"
