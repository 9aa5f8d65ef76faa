#pragma once
// casepad's real window with the real Scintilla component, on Qt's
// offscreen platform. casepad's messages are collected instead of shown.

#include "casepad_window.h"
#include "demo_text.h"
#include "listing_lines.h"
#include "keyword_case.h"

#include <QApplication>
#include <QMainWindow>
#include <QTest>
#include <Qsci/qsciscintillabase.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using Sci = QsciScintillaBase;
using recasor::ApplyKeywordCase;
using recasor::KeywordSet;

// Messages casepad showed, and whether a window was visible then.
struct Report {
    std::string text;
    bool windowVisible;
};
inline std::vector<Report> reports;

inline void CollectReport(const std::string& text)
{
    bool visible = false;
    for (QWidget* widget : QApplication::topLevelWidgets()) visible = visible || widget->isVisible();
    reports.push_back({text, visible});
}


class CasepadTest : public ::testing::Test {
protected:
    // Starts casepad in `folder` (the project root holds the shipped Keywords.ini).
    void Start(const std::filesystem::path& folder = PROJECT_ROOT)
    {
        reports.clear();
        casepad.showMessage = CollectReport;
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        CreateCasepadWindow(casepad);
        std::filesystem::current_path(previousFolder);
        casepad.window->resize(800, 600);
        casepad.window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(casepad.window.get()));
        Settle();
    }
    void SetUp() override { Start(); }
    void TearDown() override
    {
        casepad.window.reset();
    }

    // Lets the component paint; its update notifications come from painting.
    static void Settle()
    {
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const
    {
        return casepad.editor->SendScintilla(message, wParam, lParam);
    }
    std::string Line(long line) const { return GetLineText(casepad.state.editor, line); }
    long CaretLine() const { return Send(Sci::SCI_LINEFROMPOSITION, Send(Sci::SCI_GETCURRENTPOS)); }
    long LineStart(long line) const { return Send(Sci::SCI_POSITIONFROMLINE, line); }
    bool Expanded(long line) const { return Send(Sci::SCI_GETFOLDEXPANDED, line) != 0; }
    bool Visible(long line) const { return Send(Sci::SCI_GETLINEVISIBLE, line) != 0; }
    bool CanUndo() const { return Send(Sci::SCI_CANUNDO) != 0; }

    // Puts the caret at a line and column, and lets the component report it.
    void PlaceCaret(long line, long column = 0)
    {
        Send(Sci::SCI_GOTOPOS, LineStart(line) + column);
        Settle();
    }
    // Replaces the whole document by raw bytes (NUL bytes allowed).
    void SetDocument(const std::string& bytes)
    {
        Send(Sci::SCI_CLEARALL);
        casepad.editor->SendScintilla(Sci::SCI_ADDTEXT, bytes.size(), bytes.data());
        Send(Sci::SCI_EMPTYUNDOBUFFER);
    }

    CasepadWindow casepad;
    std::filesystem::path previousFolder;
};
