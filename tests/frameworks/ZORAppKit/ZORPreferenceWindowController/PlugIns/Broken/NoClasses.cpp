// A library that loads but registers no class.

extern "C" int prefsTestNoClasses()
{
    return 0;
}
