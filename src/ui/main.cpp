// The program: the main window over the folder of the program file.
#include "ui/MainWindow.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ui::MainWindow window({QCoreApplication::applicationDirPath(), nullptr});
    if (window.startFailed())
        return 1;
    window.show();
    return app.exec();
}
