// The test QGuiApplication is never destroyed (see support/GuiApp.h), so fontconfig's process-wide
// cache, which only the application's teardown releases, is still held at exit. LeakSanitizer reads
// this hook in sanitizer builds; elsewhere it is an unused function.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
