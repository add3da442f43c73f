// Linked into test programs of sanitizer builds only. Shared libraries stay
// loaded until the process ends, so LeakSanitizer can name the library
// behind every allocation it reports at exit: an unloaded GL driver shows up
// as "<unknown module>", which no suppression can match.

extern "C" int dlclose(void*) { return 0; }
