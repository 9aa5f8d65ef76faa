// The Qt host: title, menu bar, the editor filling the client area, the
// About box, and the two ways to end the program.

#include "casepad_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

namespace {

class CasepadWindowTest : public CasepadTest {
protected:
    QMenuBar* MenuBar() const { return casepad.window->menuBar(); }
    QMenuBar* RightEnd() const { return qobject_cast<QMenuBar*>(MenuBar()->cornerWidget(Qt::TopRightCorner)); }
    QAction* Item(QMenuBar* bar, const char* text) const
    {
        for (QAction* action : bar->actions())
            if (action->text() == QLatin1String(text)) return action;
        return nullptr;
    }
    void Click(QMenuBar* bar, QAction* action) { QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(action).center()); }

    // Runs the event loop until the program ends (or a 5 s guard) and returns its exit code.
    int RunUntilEnd(const std::function<void()>& action)
    {
        QTimer::singleShot(0, action);
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        return QCoreApplication::exec();
    }
};

QStringList Texts(const QMenuBar* bar)
{
    QStringList texts;
    for (const QAction* action : bar->actions()) texts << action->text();
    return texts;
}

TEST_F(CasepadWindowTest, TitleMenuBarAndAnEditorFillingTheClientArea)
{
    EXPECT_EQ(casepad.window->windowTitle(), "KAVRIX.DLL editor example");
    EXPECT_EQ(Texts(MenuBar()), (QStringList{"E&xit", "&Toggle current sub", "Toggle all subs &below"}));
    ASSERT_NE(RightEnd(), nullptr);
    EXPECT_EQ(Texts(RightEnd()), QStringList{"&About..."});
    // About sits at the right end of the bar, right of the other items.
    QRect about = RightEnd()->geometry();
    EXPECT_EQ(about.right(), MenuBar()->width() - 1);
    EXPECT_GT(about.left(), MenuBar()->actionGeometry(Item(MenuBar(), "Toggle all subs &below")).right());

    for (QSize size : {QSize(300, 200), QSize(1000, 700)}) {
        casepad.window->resize(size);
        Settle();
        EXPECT_EQ(casepad.editor->geometry(), QRect(0, MenuBar()->height(), size.width(), size.height() - MenuBar()->height()));
    }
}

TEST_F(CasepadWindowTest, MenuItemsRunTheirCommands)
{
    PlaceCaret(11);
    Click(MenuBar(), Item(MenuBar(), "&Toggle current sub"));
    EXPECT_FALSE(Expanded(9));
    PlaceCaret(11);
    Click(MenuBar(), Item(MenuBar(), "Toggle all subs &below"));
    EXPECT_TRUE(Expanded(9));
    EXPECT_TRUE(Expanded(26 * 15 + 18));
}

TEST_F(CasepadWindowTest, AboutBoxIsOwnedByTheWindow)
{
    QString title, text;
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        owner = box->parentWidget();
        EXPECT_EQ(box->buttons().size(), 1);
        box->button(QMessageBox::Ok)->click();
    });
    Click(RightEnd(), Item(RightEnd(), "&About..."));
    EXPECT_EQ(title, "About...");
    EXPECT_TRUE(text.startsWith("Example for KAVRIX.DLL by ")) << text.toStdString();
    EXPECT_EQ(owner, casepad.window.get());
}

TEST_F(CasepadWindowTest, ExitAndClosingTheWindowEndWithExitCodeZero)
{
    EXPECT_EQ(RunUntilEnd([this] { Click(MenuBar(), Item(MenuBar(), "E&xit")); }), 0);
    EXPECT_EQ(RunUntilEnd([this] { casepad.window->close(); }), 0);
}

}  // namespace
