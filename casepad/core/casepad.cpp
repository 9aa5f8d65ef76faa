#include "casepad.h"

#include "demo_text.h"
#include "editor_setup.h"
#include "folding.h"
#include "scintilla_messages.h"
#include "vocabulary_file.h"

using namespace recasor;

namespace {

void CallHost(const HostRoutines& routines, void (*routine)(void*))
{
    if (routine != nullptr) routine(routines.host);
}

// Reads all five sections, shows their problems and builds the set the
// editor converts with, always in the file's mixed case.
void LoadKeywords(CasepadState& state)
{
    state.vocabulary = ParseVocabulary(ReadVocabularyFile(kKeywordsFileName).value_or(""));
    const HostRoutines& routines = state.hostRoutines;
    for (const VocabularyProblem& problem : state.vocabulary.problems)
        if (routines.showMessage != nullptr) routines.showMessage(routines.host, ProblemText(problem));
    state.conversion = BuildKeywordSet(state.vocabulary, DialectSections(Dialect::FreeBasic), CaseMode::Mixed);
}

}  // namespace

void StartEditor(CasepadState& state)
{
    ConfigureEditor(state.editor, BuildDemoText());
    LoadKeywords(state);
    RecaseFirstLines(state.editor, state.conversion);
}

void DispatchCommand(CasepadState& state, int commandId)
{
    switch (commandId) {
    case ID_EXIT: CallHost(state.hostRoutines, state.hostRoutines.endProgram); break;
    case ID_TOGGLE_SUB: ToggleSub(state.editor, GetCurrentLine(state.editor)); break;
    case ID_TOGGLE_BELOW: ToggleSubsBelow(state.editor, GetCurrentLine(state.editor)); break;
    case ID_ABOUT: CallHost(state.hostRoutines, state.hostRoutines.showAbout); break;
    default: break;
    }
}

void DispatchNotification(CasepadState& state, int code, intptr_t position, int margin)
{
    switch (code) {
    case SCN_MARGINCLICK:
        if (margin == kLineNumberMargin) ToggleSub(state.editor, SendEditor(state.editor, SCI_LINEFROMPOSITION, position));
        break;
    case SCN_UPDATEUI: FollowCaret(state.editor, state.conversion, state.caret); break;
    default: break;
    }
}
