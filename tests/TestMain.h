// tests/TestMain.h
//
// Some tests need a second process running this same test program (a copy under
// another path or name): a child is a named function that `<exe> --child NAME ...` runs
// instead of the tests, its result being the process's exit code.
#pragma once

using TestChildFunction = int (*)(int argc, char** argv);

struct TestChildRegistration {
    TestChildRegistration(const char* name, TestChildFunction function);
};

#define TEST_CHILD(name)                                                           \
    static int name##_child([[maybe_unused]] int argc, [[maybe_unused]] char** argv);                                \
    static TestChildRegistration name##_registration(#name, &name##_child);        \
    static int name##_child([[maybe_unused]] int argc, [[maybe_unused]] char** argv)
