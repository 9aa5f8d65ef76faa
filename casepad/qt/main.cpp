// casepad: a demonstration editor that keeps the keyword case of BASIC
// text uniform as the caret leaves each line.

#include "casepad_window.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CasepadWindow casepad;
    CreateCasepadWindow(casepad);
    casepad.window->show();
    return application.exec();
}
