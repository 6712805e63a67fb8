// Leak reports left out of the Qt test programs under LeakSanitizer:
// fontconfig keeps caches it never frees, none of them ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
