#include "casepad_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <Qsci/qsciscintillabase.h>

#include "scintilla_messages.h"

namespace {

QString Latin1(const char* text) { return QString::fromLatin1(text); }

// QScintilla takes lParam as a long, which carries pointers (texts, buffers)
// only where a long is as wide as a pointer.
static_assert(sizeof(long) == sizeof(intptr_t), "lParam must hold a pointer");

intptr_t SendToScintilla(void* editor, unsigned int message, uintptr_t wParam, intptr_t lParam)
{
    return static_cast<QsciScintillaBase*>(editor)->SendScintilla(message, static_cast<unsigned long>(wParam), static_cast<long>(lParam));
}

void EndProgram(void*) { QCoreApplication::exit(0); }

// The host routines' `host` is the CasepadWindow.
CasepadWindow& WindowOf(void* host) { return *static_cast<CasepadWindow*>(host); }

void ShowAbout(void* host)
{
    QMessageBox box(QMessageBox::NoIcon, Latin1(kAboutCaption), Latin1(kAboutText), QMessageBox::Ok, WindowOf(host).window.get());
    box.exec();
}

void ShowMessage(void* host, const std::string& text) { WindowOf(host).showMessage(text); }

// Plain command items; the one marked for the right end goes into a second
// bar in the top right corner, since a Qt menu bar lines its items up from
// the left.
void BuildMenuBar(CasepadWindow& casepad)
{
    QMenuBar* menuBar = casepad.window->menuBar();
    QMenuBar* rightEnd = new QMenuBar(menuBar);
    for (const MenuItem& item : kMenuItems) {
        QAction* action = (item.atRightEnd ? rightEnd : menuBar)->addAction(Latin1(item.text));
        CasepadState* state = &casepad.state;
        int id = item.id;
        QObject::connect(action, &QAction::triggered, [state, id] { DispatchCommand(*state, id); });
    }
    menuBar->setCornerWidget(rightEnd, Qt::TopRightCorner);
}

void ForwardNotifications(CasepadWindow& casepad)
{
    CasepadState* state = &casepad.state;
    QObject::connect(casepad.editor, &QsciScintillaBase::SCN_UPDATEUI,
                     [state](int) { DispatchNotification(*state, SCN_UPDATEUI, 0, 0); });
    QObject::connect(casepad.editor, &QsciScintillaBase::SCN_MARGINCLICK,
                     [state](int position, int, int margin) { DispatchNotification(*state, SCN_MARGINCLICK, position, margin); });
}

}  // namespace

void CreateCasepadWindow(CasepadWindow& casepad)
{
    casepad.window = std::make_unique<QMainWindow>();
    casepad.window->setWindowTitle(Latin1(kWindowTitle));
    casepad.window->setWindowIcon(casepad.window->style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    if (QScreen* screen = QGuiApplication::primaryScreen()) casepad.window->resize(screen->availableSize() * 3 / 4);

    casepad.editor = new QsciScintillaBase(casepad.window.get());
    casepad.window->setCentralWidget(casepad.editor);
    casepad.window->setFocusProxy(casepad.editor);

    casepad.state.editor = {SendToScintilla, casepad.editor};
    casepad.state.hostRoutines = {EndProgram, ShowAbout, &casepad, ShowMessage};
    BuildMenuBar(casepad);
    StartEditor(casepad.state);
    ForwardNotifications(casepad);
}

void ShowMessageBox(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, Latin1("casepad"), QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok);
    box.exec();
}
