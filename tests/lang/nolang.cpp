// A shared object in the program folder that is not a language library.
extern "C" __attribute__((visibility("default"))) int zvSomethingElse(void)
{
    return 1;
}
