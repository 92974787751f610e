#include "mainwindow.h"
#include "resources.h"

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
        result = app.exec();
    }
    return result;
}
