// A shared library with only some of a plugin's entry points.

extern "C" __attribute__((visibility("default"))) int XPluginStart(char *, char *, char *)
{
    return 1;
}

extern "C" __attribute__((visibility("default"))) int XPluginEnable(void)
{
    return 1;
}
