// fontconfig (under Pango, which draws the sample catalogue) keeps its
// configuration and font cache for the whole process and never frees them
// at exit; those blocks are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
