#include "mainwindow.h"
#include "resources.h"
#include "testcontrol.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    initResources();
    QApplication app(argc, argv);
    configureApplication(app);

    int result = 0;
    {
        MainWindow window;
        window.show();
        // Test-only: lets tests drive the program through its standard input.
        if (qEnvironmentVariableIsSet("TOLVANE_TEST_CONTROL"))
            new TestControl(&window);
        result = app.exec();
    }
    return result;
}
