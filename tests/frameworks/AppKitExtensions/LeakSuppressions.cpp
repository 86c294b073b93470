// fontconfig 2.14 loses a few bytes while parsing its configuration files, once per process; the leak checker of the
// sanitizer build would otherwise fail every test that touches fonts. The hook is read only by that checker.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
