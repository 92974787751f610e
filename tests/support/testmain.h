#pragma once

#include "app/resources.h"

#include <QApplication>
#include <QTest>

// Like QTEST_MAIN, but registers the compiled-in icons and catalogues and sets
// the application identity first, as the program's entry point does.
#define TOLVANE_TEST_MAIN(TestObject)                                   \
    int main(int argc, char *argv[])                                    \
    {                                                                   \
        initResources();                                                \
        QApplication app(argc, argv);                                   \
        configureApplication(app);                                      \
        app.setAttribute(Qt::AA_Use96Dpi, true);                        \
        TestObject tc;                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                      \
        return QTest::qExec(&tc, argc, argv);                           \
    }
