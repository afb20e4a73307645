#if defined(__SANITIZE_ADDRESS__)
// For hosts that load the module but link no font code of their own: the module creates fonts, and
// fontconfig loses a few bytes parsing its configuration, as it does in every program that uses it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif
