// A module with one exported entry point, opened by the module-loading tests.
extern "C" __attribute__((visibility("default"))) int PictalTestModuleTwicePlusOne(int value)
{
    return 2 * value + 1;
}
