// casepad: a demonstration editor that keeps the keyword case of BASIC
// text uniform as the caret leaves each line.

#include "casepad_window.h"
#include "messages.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    SetMessageRoutine(ShowMessageBox);
    CasepadWindow casepad;
    CreateCasepadWindow(casepad);
    casepad.window->show();
    return application.exec();
}
