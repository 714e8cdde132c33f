#pragma once

#include <QtTest> // and with it all of QtCore, which the test programs rely on

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// QTEST_MAIN and QTEST_GUILESS_MAIN, with an end that comes as soon as the results are written
// and the test's objects and application are gone. A Windows process that ends through exit()
// then runs the C++ runtime's own teardown, where libstdc++ deletes its thread key and waits for
// winpthreads' key lock; in a test that has started and ended a hundred threads that lock is at
// times never given back, and the finished test hangs for good (seen under Wine in about one run
// of ten under load). Nothing a test's verdict depends on is left to tear down at that point.
inline int endTestProcess(int failures)
{
    std::fflush(nullptr);
#ifdef Q_OS_WIN
    TerminateProcess(GetCurrentProcess(), UINT(failures));
#endif
    return failures;
}

#define MOSTRELA_TEST_MAIN_WITH(TestObject, ...)                                                   \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        const int failures = [&] {                                                                 \
            QTest::Internal::callInitMain<TestObject>();                                           \
            __VA_ARGS__                                                                            \
            TestObject tc;                                                                         \
            QTEST_SET_MAIN_SOURCE_PATH                                                             \
            return QTest::qExec(&tc, argc, argv);                                                  \
        }();                                                                                       \
        return endTestProcess(failures);                                                           \
    }

#define MOSTRELA_TEST_MAIN(TestObject) MOSTRELA_TEST_MAIN_WITH(TestObject, QTEST_MAIN_SETUP())
#define MOSTRELA_TEST_GUILESS_MAIN(TestObject)                                                     \
    MOSTRELA_TEST_MAIN_WITH(TestObject, QTEST_QAPP_SETUP(QCoreApplication))
